// SPDX-License-Identifier: MIT
#pragma once

#include "TextEdit.h"

#include <QString>

// What a line edit's own change of its text was, where Qt does not say: recovered once, from
// the state before it.
namespace LineEditChange {

// The edit a line editor made, known from its selection before the change ([selectionFrom,
// selectionTo), empty at the cursor) and what it shows after it: its text and its cursor,
// which stands right after the inserted text. A proposal that no edit of that selection
// can give (a tool that set the whole text) is the replacement of the whole name.
TextEdit editOf(const QString &name, int selectionFrom, int selectionTo, const QString &proposed,
                int cursor);

} // namespace LineEditChange
