// SPDX-License-Identifier: MIT
#pragma once

// Where no session bus runs, keeps the D-Bus library from starting one for this program.
//
// Qt's accessibility bridge and input-method frontends ask for the session bus while the
// window is built. Without one, libdbus launches a bus of its own through the X server: a
// bus private to this program, on which no screen reader or input method can be, that
// outlives the program, and whose start was seen to hang the window's. Call before the
// application object is made.
void keepSessionBusFromAutolaunching();
