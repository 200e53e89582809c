// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

// What an editor did to a name: it replaced [from, to) with `inserted`, a view of text the
// editor holds while the rule reads it.
struct TextEdit
{
    int from = 0;
    int to = 0;
    QStringView inserted;
};
