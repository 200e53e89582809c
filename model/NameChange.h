// SPDX-License-Identifier: MIT
#pragma once

#include "NameDecoration.h"
#include "Shortfall.h"

#include <QList>

// What one change of the names did, as the window shows it: the names whose text changed,
// where the cursor goes, and what the rule kept out.
struct NameChange
{
    enum class Kind
    {
        Edit,  // an edit of name n, which may be a pattern that reached the names below
        Clear, // every name emptied
        Undo,
        Redo,
        Decorate, // the decoration of name n around the words of every other name
        Align     // the rows that end in decoration ending level
    };
    // Why a whole-list action changed nothing.
    using Refusal = NameDecoration::Outcome::Refusal;

    Kind kind = Kind::Edit;
    QList<int> changed; // names whose text changed, in order
    // The name the change is about: the one edited, or the one an undo or redo went back to
    // (0 when it changed several). Its cursor goes to `cursor`, or stays where it is at -1.
    int n = 0;
    int cursor = -1;
    int bytes = 0; // of name n after an edit

    // What the rule kept out, over all the names; for a pattern or a change of several
    // names, name by name.
    Shortfall shortfall;
    bool pattern = false;
    QList<int> full;
    QList<int> noForm;
    int dropped = 0; // lines with something in them past the last name
    // Of a whole-list action: names it could not change as asked, and why it changed nothing.
    QList<int> missed;
    Refusal refusal = Refusal::None;

    bool keptOut() const
    {
        return shortfall.any() || dropped > 0 || !missed.isEmpty() || refusal != Refusal::None;
    }
};
