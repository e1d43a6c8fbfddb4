"""The release packages: the zip's files and the program's version resource; the per-user MSI under Wine's
msiexec: installed, started and ended, replaced by a higher version in place, removed while Measurix runs."""

import getpass
import os
import re
import struct
import subprocess
import zipfile

from harness import MeasurixTestCase, project_version, windows_path
from harness.environment import wine_output

REPOSITORY = os.path.join(os.path.dirname(__file__), "../..")
DIST = os.environ.get("MEASURIX_DIST") or os.path.join(REPOSITORY, "build/dist")
# Wine keeps every product's entry of the installed-programs list under HKLM, a per-user one's too.
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def version_resource(exe, names):
    """VS_FIXEDFILEINFO's file version and the named strings of a program's version resource."""
    fixed = exe.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<2I", exe, fixed + 8)
    found = (re.search(n.encode("utf-16-le") + rb"\0\0(?:\0\0)?((?:[^\0]\0)+)\0\0", exe[fixed:]) for n in names)
    return [high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF], [m and m[1].decode("utf-16-le") for m in found]


class PackagesTest(MeasurixTestCase):
    def setUp(self):
        super().setUp()
        self.version = project_version()
        self.zip, self.msi = (os.path.join(DIST, "measurix-%s-win64.%s" % (self.version, k)) for k in ("zip", "msi"))
        appdata = os.path.join(self.state["prefix"], "drive_c/users", getpass.getuser(), "AppData")
        self.exe = os.path.join(appdata, "Local/Programs/Measurix/measurix.exe")
        self.shortcut = os.path.join(appdata, "Roaming/Microsoft/Windows/Start Menu/Programs/Measurix.lnk")
        self.installer = os.path.join(appdata, "Roaming/Microsoft/Installer")  # where the entries' icons are kept
        self.addCleanup(lambda: [self.msiexec("/x", code) for code in self.entries()])

    def test_zip_holds_the_program_readme_and_license(self):
        expected = {"FileVersion": self.version, "ProductVersion": self.version, "ProductName": "Measurix",
                    "FileDescription": "Measurix screen ruler", "OriginalFilename": "measurix.exe",
                    "LegalCopyright": "Copyright \u00a9 2026 The Measurix authors"}
        with zipfile.ZipFile(self.zip) as z:
            self.assertEqual(sorted(z.namelist()), ["LICENSE.txt", "README.md", "measurix.exe"])
            fixed, strings = version_resource(z.read("measurix.exe"), expected)
        self.assertEqual((fixed, strings), ([*map(int, self.version.split(".")), 0, 0], list(expected.values())))
        checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=DIST, capture_output=True, text=True).stdout
        self.assertEqual(checked.split(), [w for p in (self.zip, self.msi) for w in (os.path.basename(p) + ":", "OK")])

    def msiexec(self, *args):  # its exit code, as Wine passes it on (the low byte)
        return wine_output(self.state, "wine", "msiexec", *args, "/qn")[0]

    def entries(self):  # {product code: values} of the installed-programs list's Measurix entries
        listed = wine_output(self.state, "wine", "uninstaller", "--list")[1].splitlines()
        return {code: self.reg.values(UNINSTALL + "\\" + code)
                for code, _, name in (line.partition("|||") for line in listed) if name == "Measurix"}

    def test_msi_installs_per_user_upgrades_in_place_and_uninstalls(self):
        self.assertEqual(self.msiexec("/i", windows_path(self.msi)), 0)
        folder = "C:\\users\\%s\\AppData\\Local\\Programs\\Measurix\\" % getpass.getuser()
        with open(self.shortcut, "rb") as shortcut:
            self.assertIn((folder + "measurix.exe").encode(), shortcut.read())
        [(code, entry)] = self.entries().items()
        self.assertEqual([entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher", "InstallLocation")],
                         ["Measurix", self.version, "The Measurix authors", folder])
        with open(os.path.join(self.installer, code, "measurix.ico"), "rb") as icon:
            self.assertEqual(icon.read(4), b"\0\0\1\0")
        self.measurix_exe = self.exe  # from here on self.start runs the installed program
        self.end(self.start("-hide"))

        # A higher version, installed while the program runs, ends it and takes the one entry.
        higher = "%s.%d" % (self.version.split(".")[0], int(self.version.split(".")[1]) + 1)
        program = self.start("-hide")
        dist = os.path.join(self.state["dir"], "dist")
        subprocess.run(["bash", "scripts/package.sh", "--from", os.path.dirname(type(self).measurix_exe),
                        "--version", higher, "--dist", dist], cwd=REPOSITORY, check=True)
        self.assertEqual(self.msiexec("/i", windows_path(os.path.join(dist, "measurix-%s-win64.msi" % higher))), 0)
        self.assertEqual(program.wait_exit(), 0)
        [(code, entry)] = self.entries().items()
        self.assertEqual(entry["DisplayVersion"], higher)

        # Uninstalling ends the running program first, then removes its folder,
        # shortcut and entry; the settings stay.
        program = self.start("-hide")
        self.assertEqual(self.msiexec("/x", code), 0)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual((os.path.exists(os.path.dirname(self.exe)), os.path.exists(self.shortcut), self.entries()),
                         (False, False, {}))
        self.assertEqual((self.stored("version"), self.stored("installdir")), (36, None))
