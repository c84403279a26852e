#!/usr/bin/env python3
"""Writes the WiX source of the MSI peer of the install benchmark: the files of a payload
folder, in the manifest's folders, in one cabinet embedded in the package (wixl compresses
its cabinets with MSZIP and has no option to store; the benchmark's synthetic files do not
compress, so the peer's inflating is close to a copy).

    make_peer_wxs.py --manifest M --out peer.wxs    the peer with every file (run wixl on it
                                                    in the payload folder: sources are relative)
    make_peer_wxs.py --out empty.wxs                the same package, no files

The package installs below INSTALLDIR, which the benchmark sets on msiexec's command line.
Its identifiers are fixed, so that the benchmark can remove it again by its product code.
"""
import argparse
import os
import uuid
from xml.sax.saxutils import quoteattr

NAMESPACE = uuid.UUID("6f1d2a34-5b7c-4e21-9a0d-3c5e7f801b42")


def guid(*parts):
    return "{%s}" % str(uuid.uuid5(NAMESPACE, "/".join(parts))).upper()


def read_manifest(path):
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    return [line.rstrip("\r") for line in text.split("\n") if line.rstrip("\r")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--manifest")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    kind = "full" if args.manifest else "empty"
    entries = read_manifest(args.manifest) if args.manifest else []

    # Folder tree: "" is INSTALLDIR itself.
    tree = {"": {"dirs": {}, "files": []}}
    for number, entry in enumerate(entries, 1):
        parts = entry.split("\\")
        node = tree[""]
        for part in parts[:-1]:
            node = node["dirs"].setdefault(part, {"dirs": {}, "files": []})
        # wixl takes sources relative to the folder it runs in: it is run in the payload folder.
        node["files"].append((number, parts[-1], "/".join(parts)))

    out = ['<?xml version="1.0" encoding="utf-8"?>',
           '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
           '  <Product Id=%s Name="Stampwell benchmark peer (%s)" Language="1033" Version="1.0.0.0"'
           ' Manufacturer="Stampwell benchmark" UpgradeCode=%s>' % (quoteattr(guid(kind, "product")), kind,
                                                                     quoteattr(guid(kind, "upgrade"))),
           '    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>',
           '    <Media Id="1" Cabinet="payload.cab" EmbedCab="yes"/>',
           '    <Directory Id="TARGETDIR" Name="SourceDir">',
           '      <Directory Id="INSTALLDIR" Name="StampwellPeer">']
    components = []
    counter = [0]

    def emit(node, indent, path):
        for number, name, source in node["files"]:
            cid = "c%d" % number
            components.append(cid)
            out.append('%s<Component Id="%s" Guid=%s>' % (indent, cid, quoteattr(guid(kind, "component", str(number)))))
            out.append('%s  <File Id="f%d" Name=%s Source=%s KeyPath="yes"/>' % (indent, number, quoteattr(name),
                                                                                 quoteattr(source)))
            out.append('%s</Component>' % indent)
        for name, child in node["dirs"].items():
            counter[0] += 1
            out.append('%s<Directory Id="d%d" Name=%s>' % (indent, counter[0], quoteattr(name)))
            emit(child, indent + "  ", path + [name])
            out.append('%s</Directory>' % indent)

    emit(tree[""], "        ", [])
    if not components:
        # A package must install something: one component without a file.
        out.append('        <Component Id="c0" Guid=%s/>' % quoteattr(guid(kind, "component", "0")))
        components.append("c0")
    out += ['      </Directory>', '    </Directory>', '    <Feature Id="Everything" Level="1">']
    out += ['      <ComponentRef Id="%s"/>' % c for c in components]
    out += ['    </Feature>', '  </Product>', '</Wix>', '']
    with open(args.out, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
