#!/usr/bin/env python3
"""Writes the winget manifest of a setup program that `make setup` built.

    winget_manifest.py --setup StampwellSetup.exe --out build/release/winget [--installer-url URL]

The multi-file form of manifest version 1.9.0: <id>.yaml (version), <id>.installer.yaml and
<id>.locale.<locale>.yaml (default locale). Names, publisher, addresses, version and exit codes
are read from the sources the program is built from (setup/setup_settings.h, resources/app.rc,
setup/exit_codes.h), so the manifest describes the program beside it; the SHA-256 is the file's
own, signature included. The download address is the publisher's to give: without
--installer-url (or STAMPWELL_WINGET_INSTALLER_URL) it is the setup's name below the product's
home page.
"""

import argparse
import hashlib
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MANIFEST_VERSION = "1.9.0"
LOCALE = "en-US"

# The program's exit codes that winget can explain to the person who runs it; 0 is success
# by default, and 1603 (failed) has no answer more precise than a failure.
RETURN_RESPONSES = {
    "kExitBadCommandLine": "invalidParameter",
    "kExitCancelled": "cancelledByUser",
    "kExitAnotherSetupRunning": "installInProgress",
    "kExitProductRunning": "packageInUse",
}


def read(relative):
    with open(os.path.join(ROOT, relative), encoding="utf-8") as f:
        return f.read()


def string_constant(text, name):
    match = re.search(r'inline constexpr char %s\[\] =\s*"((?:[^"\\]|\\.)*)";' % name, text)
    if not match:
        sys.exit("winget_manifest: %s not found in setup/setup_settings.h" % name)
    return match.group(1).encode().decode("unicode_escape")


def int_constant(text, name):
    match = re.search(r"inline constexpr int %s = (\d+);" % name, text)
    if not match:
        sys.exit("winget_manifest: %s not found in setup/exit_codes.h" % name)
    return int(match.group(1))


def version_value(rc, name):
    match = re.search(r'VALUE "%s", "([^"]*)"' % name, rc)
    if not match:
        sys.exit("winget_manifest: %s not found in resources/app.rc" % name)
    return match.group(1)


def quoted(value):
    """A YAML scalar in double quotes: every value the same way, whatever it holds."""
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def identifier_part(text):
    """A part of a package identifier: no blanks, dots or characters that it may not hold."""
    return re.sub(r'[.\s\\/:*?"<>|\x00-\x1f]', "", text)


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest().upper()


def facts():
    settings = read("setup/setup_settings.h")
    rc = read("resources/app.rc")
    codes = read("setup/exit_codes.h")
    product = string_constant(settings, "kProductName")
    publisher = string_constant(settings, "kPublisherName")
    return {
        "identifier": identifier_part(publisher) + "." + identifier_part(product),
        "version": version_value(rc, "ProductVersion"),
        "product": product,
        "publisher": publisher,
        "home": string_constant(settings, "kHomePageUrl"),
        "buy": string_constant(settings, "kBuyPageUrl"),
        # The uninstall entry's key name is what Apps & Features knows the product by.
        "product_code": string_constant(settings, "kUninstallKeyPath").rsplit("\\", 1)[-1],
        "copyright": version_value(rc, "LegalCopyright"),
        "return_codes": [(int_constant(codes, name), response) for name, response in RETURN_RESPONSES.items()],
    }


def version_manifest(f):
    return [
        "PackageIdentifier: " + quoted(f["identifier"]),
        "PackageVersion: " + quoted(f["version"]),
        "DefaultLocale: " + LOCALE,
        "ManifestType: version",
        "ManifestVersion: " + MANIFEST_VERSION,
    ]


def installer_manifest(f, sha256, url):
    lines = [
        "PackageIdentifier: " + quoted(f["identifier"]),
        "PackageVersion: " + quoted(f["version"]),
        "InstallerType: exe",
        # The uninstall entry lives under HKEY_CURRENT_USER, whatever folder the files go to.
        "Scope: user",
        "InstallModes:",
        "  - interactive",
        "  - silent",
        "  - silentWithProgress",
        "InstallerSwitches:",
        "  Silent: " + quoted("/VERYSILENT /SUPPRESSMSGBOXES /NORESTART"),
        "  SilentWithProgress: " + quoted("/SILENT /SUPPRESSMSGBOXES /NORESTART"),
        "  InstallLocation: " + quoted('/DIR="<INSTALLPATH>"'),
        "  Log: " + quoted('/LOG="<LOGPATH>"'),
        "ExpectedReturnCodes:",
    ]
    for code, response in f["return_codes"]:
        lines += ["  - InstallerReturnCode: %d" % code, "    ReturnResponse: " + response]
    lines += [
        "UpgradeBehavior: install",
        "ProductCode: " + quoted(f["product_code"]),
        "AppsAndFeaturesEntries:",
        "  - DisplayName: " + quoted(f["product"]),
        "    Publisher: " + quoted(f["publisher"]),
        "    DisplayVersion: " + quoted(f["version"]),
        "    ProductCode: " + quoted(f["product_code"]),
        # Its application manifest asks for administrator rights: Windows elevates it.
        "ElevationRequirement: elevatesSelf",
        "Installers:",
        "  - Architecture: x86",
        "    InstallerUrl: " + quoted(url),
        "    InstallerSha256: " + sha256,
        "ManifestType: installer",
        "ManifestVersion: " + MANIFEST_VERSION,
    ]
    return lines


def locale_manifest(f):
    lines = [
        "PackageIdentifier: " + quoted(f["identifier"]),
        "PackageVersion: " + quoted(f["version"]),
        "PackageLocale: " + LOCALE,
        "Publisher: " + quoted(f["publisher"]),
        "PublisherUrl: " + quoted(f["home"]),
        "PackageName: " + quoted(f["product"]),
        "PackageUrl: " + quoted(f["home"]),
        # The licence is the product's own agreement, shown by the wizard before it installs.
        "License: " + quoted("Proprietary"),
        "ShortDescription: " + quoted(f["product"] + ", a desktop video application"),
        "PurchaseUrl: " + quoted(f["buy"]),
    ]
    if len(f["copyright"]) >= 3:
        lines.append("Copyright: " + quoted(f["copyright"]))
    lines += ["ManifestType: defaultLocale", "ManifestVersion: " + MANIFEST_VERSION]
    return lines


def write(path, lines):
    header = "# Written by tools/winget_manifest.py for the setup program beside this folder.\n"
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(header + "\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--setup", required=True, help="the setup program")
    parser.add_argument("--out", required=True, help="the folder for the three files")
    parser.add_argument("--installer-url", default=os.environ.get("STAMPWELL_WINGET_INSTALLER_URL", ""))
    args = parser.parse_args()
    f = facts()
    url = args.installer_url or f["home"] + os.path.basename(args.setup)
    if not re.match(r"^[Hh][Tt][Tt][Pp][Ss]?://.+$", url):
        sys.exit("winget_manifest: the installer address must be an http or https URL: %s" % url)
    os.makedirs(args.out, exist_ok=True)
    base = os.path.join(args.out, f["identifier"])
    written = [base + ".yaml", base + ".installer.yaml", base + ".locale." + LOCALE + ".yaml"]
    write(written[0], version_manifest(f))
    write(written[1], installer_manifest(f, sha256_of(args.setup), url))
    write(written[2], locale_manifest(f))
    for path in written:
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
