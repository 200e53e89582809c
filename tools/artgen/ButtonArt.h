// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

class TextOutline;

// The face of a picture button: a raised, rounded pale-blue key with its caption centred.
// The face is opaque; its rounded corners show `backdrop`, the part of the background the
// button covers in the window, so the corners blend into the sky behind them.
class ButtonArt
{
public:
    static constexpr int Width = 91;
    static constexpr int Height = 35;

    // `backdrop` must be Width x Height times `scale`; the result is ARGB32, fully opaque.
    static QImage render(const QImage &backdrop, const QString &caption, const QColor &ink,
                         const TextOutline &font, int scale);
};
