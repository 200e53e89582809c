// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// Where no session bus runs, keeps the D-Bus library from starting one for this program.
//
// Qt's accessibility bridge and input-method frontends ask for the session bus while the
// window is built. Without one, libdbus launches a bus through the X server: one for the
// whole display, which the next program to autolaunch there finds and shares, on which no
// screen reader or input method of the session is, that outlives the program, and whose
// start was seen to hang the window's. Call before the application object is made.
void keepSessionBusFromAutolaunching();

// Runs `start`, which starts another program, with the environment the system gave this
// one: what keeps this program off a bus is not the browser's to inherit.
void withSystemEnvironment(const std::function<void()> &start);
