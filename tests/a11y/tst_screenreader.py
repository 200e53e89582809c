#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real program as a screen reader meets it: over the AT-SPI bus of a private D-Bus
session, with accessibility switched on the way a desktop does when a screen reader runs.

usage: tst_screenreader.py PROGRAM HOST NO_GBK_PROGRAM   (inside dbus-run-session, under an X server)
"""
import os
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

import pyatspi
from gi.repository import Gio, GLib

PLACEHOLDER = "好友分组名称"
FIELD_NAMES = [f"第{n}组名称" for n in range(1, 12)]
CLEAR, COPY, LINK = "清空分组图案", "复制分组图案", "个性分组图案"
PROGRAM, HOST, NO_GBK_PROGRAM = None, None, None


def wait_for(probe, timeout=10.0, step=0.1):
    """The last answer of probe(), once it is true or the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


def enable_accessibility():
    # What GNOME and other desktops do while a screen reader runs: toolkits read this
    # property of the accessibility bus launcher when they start.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled",
                                         GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 5000, None)


def settled(probe, expected, timeout=5.0):
    """What probe() answers once it answers expected, or when the time is up."""
    wait_for(lambda: probe() == expected, timeout)
    return probe()


def clipboard():
    done = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-target", "UTF8_STRING"],
                          capture_output=True, timeout=5)
    return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else None


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(accessible):
    # A screen reader's "activate" runs an object's first action.
    action = accessible.queryAction()
    if not action.doAction(0):
        raise AssertionError(f"{accessible.name}: the action was refused")


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def walk(accessible):
    yield accessible
    for child in accessible:
        if child is not None:
            yield from walk(child)


class ScreenReaderTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        enable_accessibility()
        cls.temp = tempfile.TemporaryDirectory()
        # A stand-in for the desktop's launcher that records what it is asked to open.
        cls.requests = os.path.join(cls.temp.name, "requests.log")
        stubs = os.path.join(cls.temp.name, "bin")
        os.mkdir(stubs)
        for name in ("xdg-open", "browser"):
            path = os.path.join(stubs, name)
            with open(path, "w") as stub:
                stub.write(f'#!/bin/sh\nprintf \'%s %s\\n\' "${{0##*/}}" "$*" >> "{cls.requests}"\n')
            os.chmod(path, 0o755)
        # An English system: the window speaks Chinese all the same.
        cls.env = dict(os.environ, PATH=stubs + ":" + os.environ["PATH"],
                       BROWSER=os.path.join(stubs, "browser"), LANG="en_US.UTF-8",
                       LC_ALL="C.UTF-8")
        cls.env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        cls.env.pop("QT_ACCESSIBILITY", None)

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def setUp(self):
        if os.path.exists(self.requests):
            os.remove(self.requests)
        self.process = subprocess.Popen([PROGRAM], env=self.env)
        self.addCleanup(self.stop)
        self.app = wait_for(self.find_application, timeout=20)
        self.assertIsNotNone(self.app, "the program never appeared on the accessibility bus")
        self.objects = wait_for(self.labelled_objects, timeout=10)
        self.assertTrue(self.objects, "the window's controls never appeared")

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)

    def find_application(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def labelled_objects(self):
        found = {}
        for accessible in walk(self.app):
            if accessible.name:
                found.setdefault(accessible.name, []).append(accessible)
        return found if COPY in found else None

    def only(self, name):
        matches = self.objects.get(name, [])
        self.assertEqual(len(matches), 1, f"{name}: {len(matches)} objects carry this name")
        return matches[0]

    def field_texts(self):
        return [text_of(self.only(name)) for name in FIELD_NAMES]

    def test_fields_are_named_editable_text_top_to_bottom(self):
        tops = []
        for name in FIELD_NAMES:
            with self.subTest(field=name):
                field = self.only(name)
                self.assertEqual(field.getRole(), pyatspi.ROLE_TEXT)
                states = field.getState()
                self.assertTrue(states.contains(pyatspi.STATE_EDITABLE))
                self.assertTrue(states.contains(pyatspi.STATE_FOCUSABLE))
                self.assertTrue(states.contains(pyatspi.STATE_SHOWING))
                self.assertEqual(text_of(field), PLACEHOLDER)
                tops.append(field.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
        # Read in order, the names follow the rows of the friend list.
        self.assertEqual(tops, sorted(tops))
        self.assertEqual(len(set(tops)), len(tops))

    def test_controls_have_the_roles_and_actions_a_screen_reader_offers(self):
        for name, role in ((CLEAR, pyatspi.ROLE_PUSH_BUTTON), (COPY, pyatspi.ROLE_PUSH_BUTTON),
                           (LINK, pyatspi.ROLE_LINK)):
            with self.subTest(control=name):
                control = self.only(name)
                self.assertEqual(control.getRole(), role)
                self.assertEqual(actions(control)[:1], ["Press"])
                self.assertTrue(control.getState().contains(pyatspi.STATE_SHOWING))
        # The link reads its own words as its description, so the hint is heard too.
        self.assertIn("每组最长支持16个英文或者8个中文字符", self.only(LINK).description)

    def test_copy_press_puts_the_names_on_the_clipboard(self):
        press(self.only(COPY))
        expected = "\r\n".join([PLACEHOLDER] * 11)
        self.assertEqual(settled(clipboard, expected), expected)

    def test_names_typed_through_the_text_interface_are_copied(self):
        # Braille displays and dictation edit through this interface, not through keys.
        field = self.only(FIELD_NAMES[2])
        self.assertTrue(field.queryEditableText().setTextContents("ABC"))
        self.assertEqual(settled(lambda: text_of(field), "ABC"), "ABC")
        # Text that breaks the rule is not taken: 9 Chinese characters are 18 GBK bytes.
        self.only(FIELD_NAMES[3]).queryEditableText().setTextContents("好" * 9)
        press(self.only(COPY))
        names = [PLACEHOLDER] * 11
        names[2] = "ABC"
        names[3] = text_of(self.only(FIELD_NAMES[3]))
        self.assertIn(names[3], (PLACEHOLDER, "好" * 8))
        expected = "\r\n".join(names)
        self.assertEqual(settled(clipboard, expected), expected)

    def test_clear_press_empties_every_field(self):
        press(self.only(CLEAR))
        self.assertEqual(settled(self.field_texts, [""] * 11), [""] * 11)
        press(self.only(COPY))
        self.assertEqual(settled(clipboard, "\r\n" * 10), "\r\n" * 10)

    def test_qt_words_are_chinese(self):
        # A message box's buttons are Qt's words: those of the program that refuses to start.
        refusing = subprocess.Popen([NO_GBK_PROGRAM], env=self.env)
        self.addCleanup(refusing.wait, 10)
        self.addCleanup(refusing.kill)

        def buttons():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == refusing.pid:
                    return [b.name for b in walk(app) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            return []

        self.assertEqual(wait_for(buttons, timeout=20), ["确定"])

    def test_link_press_asks_the_desktop_to_open_the_page_once(self):
        press(self.only(LINK))

        def requests():
            if not os.path.exists(self.requests):
                return []
            with open(self.requests) as log:
                return log.read().splitlines()

        expected = [f"xdg-open http://{HOST}/fenzu/"]
        self.assertEqual(settled(requests, expected), expected)
        time.sleep(0.5)
        self.assertEqual(requests(), expected)
        self.assertIsNone(self.process.poll())


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    PROGRAM, HOST, NO_GBK_PROGRAM = sys.argv[1], sys.argv[2], sys.argv[3]
    # pyatspi calls the older names of the Atspi functions it wraps.
    warnings.filterwarnings("ignore", category=DeprecationWarning, module="pyatspi")
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
