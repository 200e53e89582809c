// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class Clipboard;
class GroupNameSet;

// The clipboard text: names 1 to 11 joined by CR LF, with nothing after the last, so that
// it always holds eleven lines; an empty name gives an empty line.
QString JoinedNames(const GroupNameSet &set);

// Empties the clipboard, then places JoinedNames(set) on it as plain text. Returns false
// when either step failed; after a failed emptying nothing is placed. The names are
// never changed.
[[nodiscard]] bool CopyPattern(const GroupNameSet &set, Clipboard &clipboard);
