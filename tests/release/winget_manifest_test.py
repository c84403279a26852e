#!/usr/bin/env python3
"""The winget manifest that `make setup` writes beside a setup program: read back as YAML and
held against the manifest format 1.9.0 (required fields, names and values it allows) and
against the program itself: its checksum, its version, the switches it understands, its exit
codes and the name of its uninstall entry."""

import hashlib
import os
import re
import subprocess
import sys
import tempfile
import unittest

import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "tools", "winget_manifest.py")

# From the published schemas of manifest version 1.9.0.
IDENTIFIER = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
REQUIRED = {
    "version": {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"},
    "installer": {"PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"},
    "defaultLocale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName", "License",
                      "ShortDescription", "ManifestType", "ManifestVersion"},
}
RETURN_RESPONSES = {"packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency",
                    "diskFull", "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport",
                    "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
                    "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported", "custom"}


def source(relative):
    with open(os.path.join(ROOT, relative), encoding="utf-8") as f:
        return f.read()


def program_version():
    """The version record's binary file version, not the string the tool reads."""
    numbers = re.search(r"^FILEVERSION (\d+),(\d+),(\d+),(\d+)", source("resources/app.rc"), re.M).groups()
    return ".".join(numbers)


def exit_codes():
    return {name: int(code) for name, code in re.findall(r"inline constexpr int (kExit\w+) = (\d+);",
                                                         source("setup/exit_codes.h"))}


def known_switches():
    """The names that the program's own command-line reader accepts."""
    return set(re.findall(r'\{"([A-Z?]+)", ValueRule::', source("setup/command_line.cpp")))


class WingetManifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.setup = os.path.join(cls.folder.name, "StampwellSetup.exe")
        with open(cls.setup, "wb") as f:
            f.write(os.urandom(70000))
        cls.out = os.path.join(cls.folder.name, "winget")
        subprocess.run([sys.executable, TOOL, "--setup", cls.setup, "--out", cls.out,
                        "--installer-url", "https://downloads.example.com/stampwell/StampwellSetup.exe"],
                       check=True, stdout=subprocess.DEVNULL)
        cls.manifests = {}
        for name in sorted(os.listdir(cls.out)):
            with open(os.path.join(cls.out, name), encoding="utf-8") as f:
                document = yaml.safe_load(f)
            cls.manifests[document["ManifestType"]] = (name, document)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def document(self, kind):
        return self.manifests[kind][1]

    def test_three_files_of_one_package_each_with_its_required_fields(self):
        self.assertEqual(set(self.manifests), set(REQUIRED))
        identifier = self.document("version")["PackageIdentifier"]
        self.assertRegex(identifier, IDENTIFIER)
        locale = self.document("version")["DefaultLocale"]
        self.assertEqual(self.document("defaultLocale")["PackageLocale"], locale)
        expected_names = {"version": identifier + ".yaml", "installer": identifier + ".installer.yaml",
                          "defaultLocale": identifier + ".locale." + locale + ".yaml"}
        for kind, (name, document) in self.manifests.items():
            self.assertEqual(name, expected_names[kind])
            self.assertLessEqual(REQUIRED[kind], set(document), name)
            self.assertEqual(document["ManifestVersion"], "1.9.0", name)
            self.assertEqual(document["PackageIdentifier"], identifier, name)
            self.assertEqual(document["PackageVersion"], program_version(), name)

    def test_the_installer_is_the_setup_file_itself(self):
        installer = self.document("installer")
        with open(self.setup, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        (entry,) = installer["Installers"]
        self.assertRegex(entry["InstallerSha256"], r"^[A-Fa-f0-9]{64}$")
        self.assertEqual(entry["InstallerSha256"].lower(), digest)
        self.assertEqual(entry["InstallerUrl"], "https://downloads.example.com/stampwell/StampwellSetup.exe")
        self.assertEqual(entry["Architecture"], "x86")
        self.assertEqual(installer["InstallerType"], "exe")
        self.assertIn(installer["Scope"], {"user", "machine"})
        self.assertEqual(installer["ElevationRequirement"], "elevatesSelf")

    def test_every_switch_is_one_that_the_program_understands(self):
        switches = self.document("installer")["InstallerSwitches"]
        self.assertEqual(set(self.document("installer")["InstallModes"]), {"interactive", "silent", "silentWithProgress"})
        known = known_switches()
        self.assertIn("VERYSILENT", known)
        for kind in ("Silent", "SilentWithProgress", "InstallLocation", "Log"):
            for word in switches[kind].split():
                self.assertTrue(word.startswith("/"), switches[kind])
                self.assertIn(word[1:].split("=")[0].upper(), known, switches[kind])
        self.assertIn("/VERYSILENT", switches["Silent"].split())
        self.assertIn("/SILENT", switches["SilentWithProgress"].split())
        self.assertEqual(switches["InstallLocation"], '/DIR="<INSTALLPATH>"')
        self.assertEqual(switches["Log"], '/LOG="<LOGPATH>"')

    def test_the_exit_codes_are_the_programs_with_the_answers_winget_knows(self):
        codes = exit_codes()
        expected = self.document("installer")["ExpectedReturnCodes"]
        by_code = {entry["InstallerReturnCode"]: entry["ReturnResponse"] for entry in expected}
        self.assertEqual(len(by_code), len(expected), "a code listed twice")
        self.assertTrue(set(by_code.values()) <= RETURN_RESPONSES)
        self.assertEqual(by_code[codes["kExitAnotherSetupRunning"]], "installInProgress")
        self.assertEqual(by_code[codes["kExitCancelled"]], "cancelledByUser")
        self.assertEqual(by_code[codes["kExitBadCommandLine"]], "invalidParameter")
        self.assertEqual(by_code[codes["kExitProductRunning"]], "packageInUse")
        self.assertNotIn(0, by_code)
        # Every code of the program is listed, but the plain failure, which winget reports as one.
        self.assertEqual(set(by_code), set(codes.values()) - {codes["kExitInstalled"], codes["kExitFailed"]})

    def test_the_package_matches_the_uninstall_entry_and_the_settings(self):
        settings = source("setup/setup_settings.h")
        key = re.search(r'kUninstallKeyPath\[\] =\s*"([^"]*)"', settings).group(1)
        product_code = key.split("\\\\")[-1]
        installer = self.document("installer")
        self.assertEqual(installer["ProductCode"], product_code)
        (entry,) = installer["AppsAndFeaturesEntries"]
        self.assertEqual(entry["ProductCode"], product_code)
        self.assertEqual(entry["DisplayVersion"], program_version())
        self.assertEqual(entry["DisplayName"], "Quendra Stampwell")
        self.assertEqual(entry["Publisher"], "Quendra Soft")
        locale = self.document("defaultLocale")
        self.assertEqual(locale["Publisher"], entry["Publisher"])
        self.assertEqual(locale["PackageName"], entry["DisplayName"])
        self.assertGreaterEqual(len(locale["License"]), 3)
        for field in ("PublisherUrl", "PackageUrl", "PurchaseUrl"):
            self.assertRegex(locale[field], r"^[Hh][Tt][Tt][Pp][Ss]?://.+$")

    def test_an_installer_address_that_is_no_web_address_is_refused(self):
        with tempfile.TemporaryDirectory() as out:
            result = subprocess.run([sys.executable, TOOL, "--setup", self.setup, "--out", out,
                                     "--installer-url", "C:\\Downloads\\StampwellSetup.exe"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn("http or https", result.stderr)
            self.assertEqual(os.listdir(out), [])


if __name__ == "__main__":
    unittest.main()
