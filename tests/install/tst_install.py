#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""`cmake --install` of the build tree to a fresh prefix, held to the freedesktop layout.

usage: tst_install.py CMAKE BUILD_DIR APP_ID VERSION
"""
import os
import sys
import tempfile
import unittest

from desktopfiles import DesktopTreeChecks, run

CMAKE = BUILD_DIR = APP_ID = VERSION = None


class InstallTest(DesktopTreeChecks, unittest.TestCase):
    def test_prefix_install_follows_the_freedesktop_layout(self):
        with tempfile.TemporaryDirectory() as prefix:
            done = run([CMAKE, "--install", BUILD_DIR, "--prefix", prefix])
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.root, self.prefix = "/", prefix
            self.check_tree(APP_ID, VERSION)

    def test_staged_install_names_the_final_place(self):
        # A distribution stages into DESTDIR; the entry must name the final path.
        with tempfile.TemporaryDirectory() as stage:
            done = run([CMAKE, "--install", BUILD_DIR, "--prefix", "/opt/gpd"],
                       env=dict(os.environ, DESTDIR=stage))
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.root, self.prefix = stage, "/opt/gpd"
            self.check_tree(APP_ID, VERSION)


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    CMAKE, BUILD_DIR, APP_ID, VERSION = sys.argv[1:5]
    unittest.main(argv=sys.argv[:1] + sys.argv[5:], verbosity=2)
