// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// Text as filled outlines from one font file. The pictures must come out byte for byte the
// same on every machine, so text is never handed to the system's text rendering, whose
// hinting, antialiasing and subpixel choices follow the user's font configuration: the
// glyph outlines are read unhinted straight from the file and filled like any other shape.
class QPainter;

class TextOutline
{
public:
    explicit TextOutline(const QString &fontFile);

    bool isValid() const { return m_valid; }

    // The outline of a single line of text at the given size in pixels, with the start of
    // its baseline at the origin. Advances are the font's design advances, not rounded.
    QPainterPath path(const QString &text, qreal pixelSize) const;

    // The same outline moved so that its ink is centred on the given point.
    QPainterPath centredAt(const QString &text, qreal pixelSize, QPointF centre) const;

    // The outline stretched so that its ink fills exactly the given box; for text that must
    // meet a fixed extent, where a few per cent of stretch is invisible.
    QPainterPath fittedTo(const QString &text, qreal pixelSize, const QRectF &box) const;

    // Fills text outlines in `ink` with their coverage raised by `gain`. Unhinted glyphs at
    // 12 px spread each stem over two half-covered pixels and read grey and soft; the raised
    // coverage gives the stems solid cores in the exact ink colour while keeping their
    // antialiased edges. Coverage is computed at the painter's output resolution.
    static void fillSharpened(QPainter &painter, const QPainterPath &outline, const QColor &ink,
                              qreal gain = 1.7);

private:
    QByteArray m_fontData;
    bool m_valid = false;
};
