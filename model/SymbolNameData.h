// SPDX-License-Identifier: MIT
#pragma once

// The symbols' names, a line each: code, the tool's own Chinese name and aliases, CLDR's
// Chinese short name and keywords, the Unicode name, separated by tabs (aliases by |).
// Generated at build time by tools/symbolnames from Debian's Unicode and CLDR data.
extern const char SymbolNameData[];
