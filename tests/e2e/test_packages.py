"""The release packages of the build: the zip's files and the program's version
resource, and the per-user MSI under Wine's msiexec: installed, started and
ended, replaced by a higher version in place, removed while Measurix runs."""

import getpass
import glob
import hashlib
import os
import re
import struct
import subprocess
import tempfile
import zipfile

from harness import MeasurixTestCase, project_version, windows_path
from harness.environment import wine_output

REPOSITORY = os.path.join(os.path.dirname(__file__), "../..")
DIST = os.environ.get("MEASURIX_DIST") or os.path.join(REPOSITORY, "build/dist")
# Wine keeps every product's entry of the installed-programs list under HKLM, a per-user one's too.
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def version_resource(exe):
    """VS_FIXEDFILEINFO's file version and the strings of a program's version resource."""
    fixed = exe.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<2I", exe, fixed + 8)
    names = ["FileVersion", "ProductVersion", "ProductName", "FileDescription", "LegalCopyright", "OriginalFilename"]
    strings = {n: re.search(n.encode("utf-16-le") + rb"\0\0(?:\0\0)?((?:[^\0]\0)+)\0\0", exe[fixed:]) for n in names}
    return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF), {n: m and m[1].decode("utf-16-le")
                                                                  for n, m in strings.items()}


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class PackagesTest(MeasurixTestCase):
    def setUp(self):
        super().setUp()
        self.version = project_version()
        self.zip, self.msi = (os.path.join(DIST, "measurix-%s-win64.%s" % (self.version, kind)) for kind in ("zip", "msi"))
        appdata = os.path.join(self.state["prefix"], "drive_c/users", getpass.getuser(), "AppData")
        self.exe = os.path.join(appdata, "Local/Programs/Measurix/measurix.exe")
        self.shortcut = os.path.join(appdata, "Roaming/Microsoft/Windows/Start Menu/Programs/Measurix.lnk")
        self.icons = os.path.join(appdata, "Roaming/Microsoft/Installer")
        self.addCleanup(lambda: [wine_output(self.state, "wine", "msiexec", "/x", code, "/qn") for code in self.entries()])

    def test_zip_holds_the_program_readme_and_license(self):
        with zipfile.ZipFile(self.zip) as z:
            self.assertEqual(sorted(z.namelist()), ["LICENSE.txt", "README.md", "measurix.exe"])
            self.assertIn(b"MIT License", z.read("LICENSE.txt"))
            fixed, strings = version_resource(z.read("measurix.exe"))
        self.assertEqual(fixed, tuple(map(int, self.version.split("."))) + (0, 0))
        self.assertEqual(strings, {"FileVersion": self.version, "ProductVersion": self.version, "ProductName": "Measurix",
                                   "FileDescription": "Measurix screen ruler", "OriginalFilename": "measurix.exe",
                                   "LegalCopyright": "Copyright \u00a9 2026 The Measurix authors"})
        with open(os.path.join(DIST, "SHA256SUMS")) as f:
            self.assertEqual(f.read().split(), [word for p in (self.zip, self.msi) for word in (sha256(p), os.path.basename(p))])

    def msiexec(self, *args):
        code, output = wine_output(self.state, "wine", "msiexec", *args, "/qn", timeout=300)
        self.assertEqual(code, 0, output)

    def entries(self):
        """{product code: values} of the installed-programs list's Measurix entries."""
        listed = wine_output(self.state, "wine", "uninstaller", "--list")[1].splitlines()
        return {code: self.reg.values(UNINSTALL + "\\" + code)
                for code, _, name in (line.partition("|||") for line in listed) if name == "Measurix"}

    def test_msi_installs_per_user_upgrades_in_place_and_uninstalls(self):
        self.msiexec("/i", windows_path(self.msi))
        with open(self.shortcut, "rb") as shortcut:
            self.assertIn(b"\\Programs\\Measurix\\measurix.exe", shortcut.read())
        self.assertTrue(os.path.isfile(self.exe))
        [(code, entry)] = self.entries().items()
        folder = "C:\\users\\%s\\AppData\\Local\\Programs\\Measurix\\" % getpass.getuser()
        self.assertEqual({k: entry.get(k) for k in ("DisplayName", "DisplayVersion", "Publisher", "InstallLocation")},
                         {"DisplayName": "Measurix", "DisplayVersion": self.version, "Publisher": "The Measurix authors",
                          "InstallLocation": folder})
        with open(os.path.join(self.icons, code, "measurix.ico"), "rb") as icon:  # the entry's icon
            self.assertEqual(icon.read(4), b"\0\0\1\0")
        self.measurix_exe = self.exe  # from here on self.start runs the installed program
        self.end(self.start("-hide"))

        # A higher version, installed while the program runs, ends it and takes the one entry.
        major, minor = map(int, self.version.split("."))
        higher = "%d.%d" % (major, minor + 1)
        program = self.start("-hide")
        with tempfile.TemporaryDirectory() as dist:
            subprocess.run(["bash", "scripts/package.sh", "--from", os.path.dirname(type(self).measurix_exe),
                            "--version", higher, "--dist", dist], cwd=REPOSITORY, check=True)
            self.msiexec("/i", windows_path(glob.glob(dist + "/*.msi")[0]))
        self.assertEqual(program.wait_exit(), 0)
        [(code, entry)] = self.entries().items()
        self.assertEqual(entry["DisplayVersion"], higher)

        # Uninstalling ends the running program first (with its final save), then
        # removes its folder, shortcut and entry; the settings stay.
        program = self.start("-hide")
        self.options(program, iconic=True)
        self.assertEqual(self.start(wait=False).wait_exit(), 0)
        self.options(program, visible=True, iconic=False)  # by this round trip it has done its start's saves
        self.reg.write({"alpha": None})
        self.msiexec("/x", code)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual((os.path.exists(os.path.dirname(self.exe)), os.path.exists(self.shortcut), self.entries()),
                         (False, False, {}))
        self.assertEqual((self.stored("alpha"), self.stored("installdir")), (164, None))
