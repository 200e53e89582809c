#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The .deb that CPack makes from the build tree: its control fields, what lintian says,
its files unpacked into a scratch root, and the program started from there.

usage: tst_deb.py CPACK CPACK_CONFIG APP_ID VERSION   (under an X server)
"""
import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

from desktopfiles import PROGRAM, DesktopTreeChecks, desktop_entry, run

CPACK = CONFIG = APP_ID = VERSION = None


class DebTest(DesktopTreeChecks, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        out = os.path.join(cls.temp.name, "out")
        done = run([CPACK, "-G", "DEB", "--config", CONFIG, "-B", out])
        if done.returncode != 0:
            raise AssertionError("cpack failed:\n" + done.stdout + done.stderr)
        debs = glob.glob(os.path.join(out, "*.deb"))
        if len(debs) != 1:
            raise AssertionError(f"cpack made {debs}")
        cls.deb = debs[0]
        # Unpacked, not installed: the machine's own package database stays as it was.
        cls.root, cls.prefix = os.path.join(cls.temp.name, "root"), "/usr"
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).stdout.rstrip("\n")

    def test_control_fields(self):
        arch = run(["dpkg", "--print-architecture"]).stdout.strip()
        self.assertEqual(os.path.basename(self.deb), f"{PROGRAM}_{VERSION}_{arch}.deb")
        for name, value in (("Package", PROGRAM), ("Version", VERSION), ("Architecture", arch),
                            ("Section", "utils"), ("Priority", "optional")):
            with self.subTest(field=name):
                self.assertEqual(self.field(name), value)
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^@<>\s]+>$")
        synopsis, _, extended = self.field("Description").partition("\n")
        self.assertTrue(0 < len(synopsis) <= 80, synopsis)
        self.assertGreater(len(extended.split("\n")), 2)
        depends = {re.split(r"[\s(]", d.strip())[0] for d in self.field("Depends").split(",")}
        # The scanned libraries, the window-system plugin that Qt loads at run time, the
        # fonts names are drawn in and Qt's Chinese words.
        for package in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                        "qt6-qpa-plugins", "fonts-wine", "fonts-arphic-uming",
                        "qt6-translations-l10n"):
            with self.subTest(depends=package):
                self.assertIn(package, depends)
        recommends = {re.split(r"[\s(|]", d.strip())[0] for d in self.field("Recommends").split(",")}
        # Without it the window runs through XWayland in a Wayland session.
        self.assertIn("qt6-wayland", recommends)

    def test_apt_can_satisfy_the_dependencies(self):
        done = run(["apt-get", "install", "--simulate", "--no-install-recommends", self.deb])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertIn(f"Inst {PROGRAM} ", done.stdout)

    def test_lintian_finds_no_errors(self):
        done = run(["lintian", "--fail-on", "error", self.deb])
        # Warnings and notes are listed in the test log, errors fail.
        sys.stderr.write(done.stdout)
        self.assertNotRegex(done.stdout, r"(?m)^E: ")
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_unpacked_tree_follows_the_freedesktop_layout(self):
        self.check_tree(APP_ID, VERSION)

    def test_installed_program_shows_its_window(self):
        entry = desktop_entry(self.installed(f"/usr/share/applications/{APP_ID}.desktop"))
        program = self.installed(entry["Exec"])
        process = subprocess.Popen([program])
        self.addCleanup(process.wait, 10)
        self.addCleanup(process.terminate)
        found = run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(process.pid)],
                    timeout=30)
        window = found.stdout.split()[0] if found.stdout.split() else None
        self.assertIsNotNone(window, "no window appeared")
        self.assertEqual(os.path.realpath(f"/proc/{process.pid}/exe"), os.path.realpath(program))
        # The desktop ties the window to its launcher entry by its class.
        wm_class = run(["xprop", "-id", window, "WM_CLASS"]).stdout
        self.assertIn(f'"{entry["StartupWMClass"]}"', wm_class)
        title = run(["xprop", "-id", window, "_NET_WM_NAME"]).stdout
        self.assertIn("分组图案设计器", title)


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    CPACK, CONFIG, APP_ID, VERSION = sys.argv[1:5]
    unittest.main(argv=sys.argv[:1] + sys.argv[5:], verbosity=2)
