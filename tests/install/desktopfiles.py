# SPDX-License-Identifier: MIT
"""Checks shared by the install and package tests: what the freedesktop rules ask of an
installed tree, whether `cmake --install` or a .deb made it."""
import os
import struct
import subprocess
import xml.etree.ElementTree as ET

PROGRAM = "group-pattern-designer"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(args, timeout=300, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)


def desktop_entry(path):
    """The keys of the [Desktop Entry] group."""
    keys, group = {}, None
    with open(path, encoding="utf-8") as entry:
        for line in entry.read().splitlines():
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                keys[key.strip()] = value.strip()
    return keys


def png_size(path):
    with open(path, "rb") as png:
        head = png.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


class DesktopTreeChecks:
    """Mixed into a TestCase: checks the tree at self.root with the program's files under
    self.prefix (a path inside the tree, such as /usr)."""

    def installed(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def check_tree(self, app_id, version):
        share = self.installed(os.path.join(self.prefix, "share"))
        program = os.path.join(self.prefix, "bin", PROGRAM)
        self.assertTrue(os.access(self.installed(program), os.X_OK), program)

        entry_path = os.path.join(share, "applications", app_id + ".desktop")
        done = run(["desktop-file-validate", entry_path])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(done.stdout.strip(), "", "desktop-file-validate has remarks")
        entry = desktop_entry(entry_path)
        self.assertEqual(entry.get("Type"), "Application")
        self.assertEqual(entry.get("Name"), "分组图案设计器")
        self.assertEqual(entry.get("Name[en]"), "Group Pattern Designer")
        # The launcher finds the program where it was put, whatever the session's PATH.
        self.assertEqual(entry.get("Exec"), program)
        self.assertEqual(entry.get("TryExec"), program)
        self.assertEqual(entry.get("Icon"), app_id)
        self.assertEqual(entry.get("StartupWMClass"), PROGRAM)
        self.assertIn("Utility", entry.get("Categories", "").split(";"))

        for size in ICON_SIZES:
            with self.subTest(icon=size):
                icon = os.path.join(share, "icons", "hicolor", f"{size}x{size}", "apps",
                                    app_id + ".png")
                self.assertEqual(png_size(icon), (size, size))
        themed = os.listdir(os.path.join(share, "icons", "hicolor"))
        self.assertEqual(sorted(themed), sorted(f"{s}x{s}" for s in ICON_SIZES))

        metainfo = os.path.join(share, "metainfo", app_id + ".metainfo.xml")
        done = run(["appstreamcli", "validate", "--no-net", "--no-color", metainfo])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        component = ET.parse(metainfo).getroot()
        self.assertEqual(component.get("type"), "desktop-application")
        self.assertEqual(component.findtext("id"), app_id)
        launchable = component.find("launchable")
        self.assertEqual((launchable.get("type"), launchable.text),
                         ("desktop-id", app_id + ".desktop"))
        self.assertEqual(component.findtext("provides/binary"), PROGRAM)
        self.assertEqual(component.find("releases/release").get("version"), version)

        manual = os.path.join(share, "man", "man1", PROGRAM + ".1.gz")
        self.assertTrue(os.path.isfile(manual), manual)
        return entry
