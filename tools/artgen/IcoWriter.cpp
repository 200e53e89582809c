// SPDX-License-Identifier: MIT
#include "IcoWriter.h"

#include <QDataStream>
#include <QIODevice>

#include <climits>

namespace {

constexpr int PaletteSize = 256;

int nearestIndex(const QList<QRgb> &palette, QRgb colour)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette.at(i));
        const int dg = qGreen(colour) - qGreen(palette.at(i));
        const int db = qBlue(colour) - qBlue(palette.at(i));
        // Weighted towards green, to which the eye is most sensitive.
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

} // namespace

QList<QRgb> IcoWriter::palette()
{
    QList<QRgb> colours;
    colours.reserve(PaletteSize);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours << qRgb(r * 51, g * 51, b * 51);
    for (int i = 1; colours.size() < PaletteSize; ++i) {
        const int grey = (i * 255 + 20) / 41;
        colours << qRgb(grey, grey, grey);
    }
    return colours;
}

QByteArray IcoWriter::encode(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const QList<QRgb> colours = palette();

    // Rows are padded to whole 32-bit words; both bitmaps are stored bottom row first.
    const int colourStride = (width + 3) / 4 * 4;
    const int maskStride = (width + 31) / 32 * 4;
    QByteArray indices(colourStride * height, '\0');
    QByteArray mask(maskStride * height, '\0');
    for (int y = 0; y < height; ++y) {
        const int stored = height - 1 - y;
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) < 128) {
                // Transparent: black under a set mask bit leaves the screen untouched.
                mask[stored * maskStride + x / 8] |= char(0x80 >> (x % 8));
                continue;
            }
            indices[stored * colourStride + x] = char(nearestIndex(colours, line[x]));
        }
    }

    constexpr quint32 HeaderSize = 40;
    constexpr quint32 DirectorySize = 6 + 16;
    const quint32 imageSize = HeaderSize + PaletteSize * 4 + indices.size() + mask.size();

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // ICONDIR: reserved, type 1 (icon), one image.
    out << quint16(0) << quint16(1) << quint16(1);
    // ICONDIRENTRY: 0 stands for 256 in the size bytes and for "256 or more" colours.
    out << quint8(width & 0xff) << quint8(height & 0xff) << quint8(0) << quint8(0);
    out << quint16(1) << quint16(8) << imageSize << DirectorySize;
    // BITMAPINFOHEADER; the height counts the colour bitmap and the mask together.
    out << HeaderSize << qint32(width) << qint32(2 * height) << quint16(1) << quint16(8);
    out << quint32(0) << quint32(indices.size() + mask.size()) << qint32(0) << qint32(0);
    out << quint32(PaletteSize) << quint32(0);
    for (QRgb colour : colours)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    out.writeRawData(indices.constData(), int(indices.size()));
    out.writeRawData(mask.constData(), int(mask.size()));
    return file;
}
