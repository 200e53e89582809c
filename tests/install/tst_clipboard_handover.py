#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What becomes of copied names when the window closes: a clipboard manager gets them and
serves them on; without one they go with the program.

usage: tst_clipboard_handover.py PROGRAM KEEPER   (under an X server)
"""
import subprocess
import sys
import time
import unittest

PLACEHOLDER = "好友分组名称"
COPY_BUTTON = (387 + 45, 229 + 17)
PROGRAM = KEEPER = None


def clipboard():
    done = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-target", "UTF8_STRING"],
                          capture_output=True, timeout=10)
    return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else None


def settled(probe, expected, timeout=5.0):
    deadline = time.monotonic() + timeout
    while probe() != expected and time.monotonic() < deadline:
        time.sleep(0.1)
    return probe()


class HandoverTest(unittest.TestCase):
    def copy_then_close(self):
        """Copies the names and closes the window; the names copied."""
        tool = subprocess.Popen([PROGRAM])
        self.addCleanup(lambda: tool.poll() is None and tool.kill())
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                                str(tool.pid)], capture_output=True, text=True, timeout=30)
        window = found.stdout.split()[0]
        subprocess.run(["xdotool", "mousemove", "--window", window, str(COPY_BUTTON[0]),
                        str(COPY_BUTTON[1]), "click", "1"], check=True, timeout=10)
        expected = "\r\n".join([PLACEHOLDER] * 11)
        self.assertEqual(settled(clipboard, expected), expected)
        subprocess.run([KEEPER, "close", window], check=True, timeout=10)
        self.assertEqual(tool.wait(timeout=30), 0)
        return expected

    def test_clipboard_manager_keeps_the_names(self):
        keeper = subprocess.Popen([KEEPER], stdout=subprocess.PIPE, text=True)
        self.addCleanup(keeper.stdout.close)
        self.addCleanup(keeper.wait)
        self.addCleanup(keeper.terminate)
        self.assertEqual(keeper.stdout.readline().strip(), "ready")
        expected = self.copy_then_close()
        # Only the manager can answer now, and it has the text only if it was handed over.
        self.assertEqual(clipboard(), expected)

    def test_without_a_manager_the_names_go_with_the_program(self):
        self.copy_then_close()
        self.assertIsNone(clipboard())


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    PROGRAM, KEEPER = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
