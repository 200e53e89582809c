// SPDX-License-Identifier: MIT
#pragma once

// How wide the window draws each character of a name at the design's size (9 pt, 12 px at
// 100 %), whatever the screen's scale, so that the same names line up in the same bytes
// everywhere: the window font's own advance for a character of one GBK byte, a full cell
// for every other one.
class TextWidths
{
public:
    virtual ~TextWidths() = default;

    // In pixels at 100 %.
    virtual double advance(char32_t codePoint) const = 0;
};
