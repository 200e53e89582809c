// SPDX-License-Identifier: MIT
#include "LineEditChange.h"

#include <algorithm>

TextEdit LineEditChange::editOf(const QString &name, int selectionFrom, int selectionTo,
                                const QString &proposed, int cursor)
{
    selectionFrom = std::clamp(selectionFrom, 0, int(name.size()));
    selectionTo = std::clamp(selectionTo, selectionFrom, int(name.size()));
    cursor = std::clamp(cursor, 0, int(proposed.size()));
    // An editor replaces at least its selection; what follows its cursor afterwards is the
    // old end of the name, and what precedes the edit is the old start. Deleting left of
    // the cursor (backspace) moves the start of the edit to the new cursor.
    const int from = std::min(selectionFrom, cursor);
    const int to = int(name.size()) - (int(proposed.size()) - cursor);
    const bool fits = to >= selectionTo && to <= name.size() &&
                      QStringView(proposed).left(from) == QStringView(name).left(from) &&
                      QStringView(proposed).mid(cursor) == QStringView(name).mid(to);
    if (!fits)
        return TextEdit{0, int(name.size()), proposed};
    return TextEdit{from, to, QStringView(proposed).mid(from, cursor - from)};
}
