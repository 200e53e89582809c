// SPDX-License-Identifier: MIT
#include "Shortfall.h"

#include <QList>

#include <algorithm>

void Shortfall::add(const Shortfall &other)
{
    full = full || other.full;
    for (const char32_t cp : other.noForm.toUcs4())
        leaveOut(cp);
    noFormMore += other.noFormMore;
}

void Shortfall::leaveOut(char32_t cp)
{
    // A lone surrogate shows as nothing a user could recognise: it goes unnamed.
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return;
    const QString character = QString::fromUcs4(&cp, 1);
    if (noForm.contains(character))
        return;
    const auto named =
        std::count_if(noForm.begin(), noForm.end(), [](QChar c) { return !c.isLowSurrogate(); });
    if (named < Named)
        noForm += character;
    else
        ++noFormMore;
}
