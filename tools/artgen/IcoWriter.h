// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

// Writes a single-image Windows icon in the classic 256-colour form: an 8-bit palette
// bitmap plus a 1-bit transparency mask. Qt's own icon writer only writes 32-bit images,
// which the oldest icon readers show as garbage.
class IcoWriter
{
public:
    // The fixed palette: the 216 colours of the 6-level colour cube, then 40 greys between
    // them. Fixed, so that the same picture always gives the same file.
    static QList<QRgb> palette();

    // Pixels with alpha below one half become transparent; the rest take the nearest
    // palette colour, with no dithering. `image` is at most 256 x 256.
    static QByteArray encode(const QImage &image);
};
