// SPDX-License-Identifier: MIT
#pragma once

#include "TextWidths.h"

#include <QRawFont>

class GbkCodec;

// Widths from the window font's one-byte copy (OneByteFont), unhinted, at 12 px; every
// character of two GBK bytes takes a full 12-px cell, as the Song-style font draws it.
class SystemTextWidths final : public TextWidths
{
public:
    static constexpr double Cell = 12.0;

    SystemTextWidths(const QString &family, const GbkCodec &gbk);

    double advance(char32_t codePoint) const override;

private:
    QRawFont m_font;
    const GbkCodec &m_gbk;
};
