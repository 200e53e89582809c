// SPDX-License-Identifier: MIT
#include "FullCellFont.h"

#include "Sfnt.h"

#include <QFontDatabase>
#include <QHash>
#include <QList>

#include <algorithm>
#include <optional>

using namespace Sfnt;

namespace {

// An embedded bitmap's metrics, in pixels (EBDT's big glyph metrics).
struct Metrics
{
    quint8 height = 0;
    quint8 width = 0;
    qint8 bearingX = 0;
    qint8 bearingY = 0;
    quint8 advance = 0;
    qint8 vertBearingX = 0;
    qint8 vertBearingY = 0;
    quint8 vertAdvance = 0;
};

Metrics bigMetrics(QByteArrayView data, qsizetype at)
{
    return {
        u8(data, at),     u8(data, at + 1),        qint8(u8(data, at + 2)), qint8(u8(data, at + 3)),
        u8(data, at + 4), qint8(u8(data, at + 5)), qint8(u8(data, at + 6)), u8(data, at + 7)};
}

// Small metrics hold one direction's; strikes of horizontal text give the horizontal one.
Metrics smallMetrics(QByteArrayView data, qsizetype at)
{
    Metrics metrics{u8(data, at), u8(data, at + 1), qint8(u8(data, at + 2)),
                    qint8(u8(data, at + 3)), u8(data, at + 4)};
    metrics.vertBearingX = qint8(-metrics.width / 2);
    metrics.vertAdvance = metrics.height;
    return metrics;
}

void set16(QByteArray &data, qsizetype at, quint16 value)
{
    data[at] = char(value >> 8);
    data[at + 1] = char(value & 0xFF);
}

void set32(QByteArray &data, qsizetype at, quint32 value)
{
    set16(data, at, quint16(value >> 16));
    set16(data, at + 2, quint16(value & 0xFFFF));
}

void putMetrics(QByteArray &out, const Metrics &m)
{
    for (const int value :
         {int(m.height), int(m.width), int(m.bearingX), int(m.bearingY), int(m.advance),
          int(m.vertBearingX), int(m.vertBearingY), int(m.vertAdvance)})
        out.append(char(value));
}

// A glyph's image in one strike: its metrics and its pixels, rows packed without padding.
struct Bitmap
{
    Metrics metrics;
    QByteArray bits;
    int inkLeft = 0; // the columns with ink, from the image's left
    int inkWidth = 0;
};

// The glyph's image in the face's strike `strike`; nothing where the strike has none, or
// only in a form this does not read (composite images).
std::optional<Bitmap> bitmap(QByteArrayView eblc, QByteArrayView ebdt, quint32 strike,
                             quint16 glyph)
{
    const qsizetype size = 8 + 48 * qsizetype(strike);
    const qsizetype array = u32(eblc, size);
    const quint32 count = u32(eblc, size + 8);
    const int depth = u8(eblc, size + 46);
    // The index subtables cover ranges of glyphs in order: the first whose range ends at
    // or after the glyph.
    quint32 low = 0;
    quint32 high = count;
    while (low < high) {
        const quint32 middle = low + (high - low) / 2;
        if (u16(eblc, array + 8 * middle + 2) < glyph)
            low = middle + 1;
        else
            high = middle;
    }
    const quint16 first = u16(eblc, array + 8 * low);
    if (low >= count || glyph < first)
        return {};
    const qsizetype sub = array + u32(eblc, array + 8 * low + 4);
    const quint16 indexFormat = u16(eblc, sub);
    const quint16 imageFormat = u16(eblc, sub + 2);
    const qsizetype images = u32(eblc, sub + 4);
    const qsizetype i = glyph - first;
    qsizetype start = 0;
    qsizetype end = 0;
    std::optional<Metrics> indexMetrics;
    switch (indexFormat) {
    case 1:
        start = u32(eblc, sub + 8 + 4 * i);
        end = u32(eblc, sub + 12 + 4 * i);
        break;
    case 2:
    case 5: {
        const qsizetype imageSize = u32(eblc, sub + 8);
        indexMetrics = bigMetrics(eblc, sub + 12);
        qsizetype at = i;
        if (indexFormat == 5) {
            at = -1;
            for (quint32 k = 0, n = u32(eblc, sub + 20); k < n && at < 0; ++k) {
                if (u16(eblc, sub + 24 + 2 * k) == glyph)
                    at = k;
            }
            if (at < 0)
                return {};
        }
        start = imageSize * at;
        end = start + imageSize;
        break;
    }
    case 3:
        start = u16(eblc, sub + 8 + 2 * i);
        end = u16(eblc, sub + 10 + 2 * i);
        break;
    case 4:
        for (quint32 k = 0, n = u32(eblc, sub + 8); k < n; ++k) {
            if (u16(eblc, sub + 12 + 4 * k) == glyph) {
                start = u16(eblc, sub + 14 + 4 * k);
                end = u16(eblc, sub + 18 + 4 * k);
                break;
            }
        }
        break;
    default:
        return {};
    }
    if (end <= start || images + end > ebdt.size())
        return {};
    const QByteArrayView image = ebdt.sliced(images + start, end - start);

    Metrics metrics;
    qsizetype data = 0;
    bool byteAligned = false;
    switch (imageFormat) {
    case 1:
    case 2:
        metrics = smallMetrics(image, 0);
        data = 5;
        byteAligned = imageFormat == 1;
        break;
    case 5:
        if (!indexMetrics)
            return {};
        metrics = *indexMetrics;
        break;
    case 6:
    case 7:
        metrics = bigMetrics(image, 0);
        data = 8;
        byteAligned = imageFormat == 6;
        break;
    default:
        return {};
    }
    // Rows packed bit after bit, as image formats 2, 5 and 7 keep them.
    const qsizetype rowBits = qsizetype(metrics.width) * depth;
    const qsizetype stride = byteAligned ? (rowBits + 7) / 8 * 8 : rowBits;
    if (data + (stride * metrics.height + 7) / 8 > image.size())
        return {};
    QByteArray bits((rowBits * metrics.height + 7) / 8, '\0');
    for (qsizetype row = 0; row < metrics.height; ++row) {
        for (qsizetype bit = 0; bit < rowBits; ++bit) {
            const qsizetype from = row * stride + bit;
            if ((u8(image, data + from / 8) >> (7 - from % 8)) & 1) {
                const qsizetype to = row * rowBits + bit;
                bits[to / 8] = char(bits[to / 8] | (0x80 >> (to % 8)));
            }
        }
    }
    // Its ink: the first and the last column with a pixel set.
    qsizetype inkLeft = metrics.width;
    qsizetype inkRight = -1;
    for (qsizetype row = 0; row < metrics.height; ++row) {
        for (qsizetype column = 0; column < metrics.width; ++column) {
            for (qsizetype bit = column * depth; bit < (column + 1) * depth; ++bit) {
                const qsizetype at = row * rowBits + bit;
                if ((quint8(bits[at / 8]) >> (7 - at % 8)) & 1) {
                    inkLeft = std::min(inkLeft, column);
                    inkRight = std::max(inkRight, column);
                }
            }
        }
    }
    if (inkRight < 0) {
        inkLeft = 0;
        inkRight = metrics.width - 1;
    }
    return Bitmap{metrics, bits, int(inkLeft), int(inkRight - inkLeft + 1)};
}

// Calls `component` with the place of each component's glyph index in a composite glyph.
template <typename Component> void forEachComponent(QByteArrayView glyph, Component component)
{
    if (glyph.size() < 10 || s16(glyph, 0) >= 0)
        return;
    for (qsizetype at = 10; at + 4 <= glyph.size();) {
        const quint16 flags = u16(glyph, at);
        component(at + 2);
        at += 4 + ((flags & 0x0001) ? 4 : 2); // ARG_1_AND_2_ARE_WORDS
        at += (flags & 0x0008) ? 2 : (flags & 0x0040) ? 4 : (flags & 0x0080) ? 8 : 0; // scales
        if (!(flags & 0x0020)) // MORE_COMPONENTS
            break;
    }
}

} // namespace

QByteArray FullCellFont::build(QByteArrayView file, int index,
                               const std::function<bool(char32_t)> &wanted, const QString &family)
{
    const Face face(file, index);
    const QByteArrayView head = face.table("head");
    const QByteArrayView maxp = face.table("maxp");
    const QByteArrayView hhea = face.table("hhea");
    const QByteArrayView hmtx = face.table("hmtx");
    const QByteArrayView loca = face.table("loca");
    const QByteArrayView glyf = face.table("glyf");
    if (!face.isValid() || head.size() < 54 || maxp.size() < 32 || hhea.size() < 36 ||
        glyf.isEmpty())
        return {};
    const int unitsPerEm = u16(head, 18);
    const bool longOffsets = s16(head, 50) == 1;
    const int glyphCount = u16(maxp, 4);
    const int longMetrics = std::max<int>(1, u16(hhea, 34));
    const auto advance = [&](quint16 g) {
        return u16(hmtx, 4 * std::min<int>(g, longMetrics - 1));
    };
    const auto outline = [&](quint16 g) -> QByteArrayView {
        if (g >= glyphCount)
            return {};
        const qsizetype from = longOffsets ? qsizetype(u32(loca, 4 * g)) : 2 * u16(loca, 2 * g);
        const qsizetype to =
            longOffsets ? qsizetype(u32(loca, 4 * (g + 1))) : 2 * u16(loca, 2 * (g + 1));
        return to > from && to <= glyf.size() ? glyf.sliced(from, to - from) : QByteArrayView();
    };

    // A full cell: as wide as 中.
    int cell = unitsPerEm;
    forEachMapping(face, [&](char16_t c, quint16 glyph) {
        if (c == u'中')
            cell = advance(glyph);
    });
    QList<std::pair<char16_t, quint16>> narrow; // character, the face's glyph
    forEachMapping(face, [&](char16_t c, quint16 glyph) {
        if (advance(glyph) < cell && wanted(c))
            narrow.append({c, glyph});
    });
    if (narrow.isEmpty())
        return {};

    // Glyph 0 draws nothing; then one glyph in a full cell for each of the face's glyphs
    // that a wanted character maps to; then those glyphs themselves, and every glyph they
    // are composed of.
    QHash<quint16, quint16> cellOf;
    QList<quint16> wrapped;
    QList<std::pair<quint16, quint16>> map;
    for (const auto &[c, glyph] : narrow) {
        if (!cellOf.contains(glyph)) {
            wrapped.append(glyph);
            cellOf.insert(glyph, quint16(wrapped.size()));
        }
        map.append({quint16(c), cellOf.value(glyph)});
    }
    QList<quint16> copied = wrapped;
    QHash<quint16, quint16> copyOf;
    for (qsizetype k = 0; k < copied.size(); ++k) {
        copyOf.insert(copied[k], quint16(1 + wrapped.size() + k));
        forEachComponent(outline(copied[k]), [&](qsizetype at) {
            const quint16 component = u16(outline(copied[k]), at);
            if (!copied.contains(component) && component < glyphCount)
                copied.append(component);
        });
    }
    const int total = int(1 + wrapped.size() + copied.size());
    if (total > 0xFFFF)
        return {};

    QByteArray glyphs;
    QByteArray offsets;
    QByteArray metrics;
    const auto addGlyph = [&](const QByteArray &data, quint16 width, qint16 bearing) {
        put32(offsets, quint32(glyphs.size()));
        glyphs += data;
        glyphs.append((4 - data.size() % 4) % 4, '\0');
        put16(metrics, width);
        put16(metrics, quint16(bearing));
    };
    addGlyph({}, quint16(cell / 2), 0);
    for (const quint16 glyph : wrapped) {
        const QByteArrayView source = outline(glyph);
        if (source.size() < 10) {
            addGlyph({}, quint16(cell), 0);
            continue;
        }
        // The face's glyph as the one component, moved to the middle of the cell.
        const qint16 xMin = s16(source, 2);
        const qint16 xMax = s16(source, 6);
        const qint16 shift = qint16((cell - (xMax - xMin)) / 2 - xMin);
        QByteArray data;
        put16(data, quint16(-1));
        put16(data, quint16(xMin + shift));
        put16(data, u16(source, 4));
        put16(data, quint16(xMax + shift));
        put16(data, u16(source, 8));
        put16(data, 0x0007); // ARG_1_AND_2_ARE_WORDS, ARGS_ARE_XY_VALUES, ROUND_XY_TO_GRID
        put16(data, copyOf.value(glyph));
        put16(data, quint16(shift));
        put16(data, 0);
        addGlyph(data, quint16(cell), qint16(xMin + shift));
    }
    for (const quint16 glyph : copied) {
        QByteArray data = outline(glyph).toByteArray();
        forEachComponent(data, [&](qsizetype at) {
            const quint16 component = copyOf.value(u16(data, at));
            set16(data, at, component);
        });
        const quint16 g = glyph;
        const qint16 bearing = g < longMetrics ? s16(hmtx, 4 * g + 2)
                                               : s16(hmtx, 4 * longMetrics + 2 * (g - longMetrics));
        addGlyph(data, advance(glyph), bearing);
    }
    put32(offsets, quint32(glyphs.size()));

    // The face's bitmaps of the wrapped glyphs, strike by strike, each moved to the middle
    // of a cell as wide as the strike's 中: one index subtable of format 1 over glyphs
    // 1 to n, images in format 7 (big metrics, bit-aligned).
    const QByteArrayView eblc = face.table("EBLC");
    const QByteArrayView ebdt = face.table("EBDT");
    QByteArray images;
    put32(images, 0x00020000);
    QList<QByteArray> sizes;
    QList<QByteArray> indexes;
    for (quint32 strike = 0; strike < u32(eblc, 4) && 8 + 48 * qsizetype(strike + 1) <= eblc.size();
         ++strike) {
        const qsizetype size = 8 + 48 * qsizetype(strike);
        const int ppem = u8(eblc, size + 44);
        const int width = (cell * ppem + unitsPerEm / 2) / unitsPerEm;
        QByteArray imageOffsets;
        QByteArray strikeImages;
        bool any = false;
        for (const quint16 glyph : wrapped) {
            put32(imageOffsets, quint32(strikeImages.size()));
            std::optional<Bitmap> image = bitmap(eblc, ebdt, strike, glyph);
            if (!image)
                continue;
            any = true;
            image->metrics.advance = quint8(std::clamp(width, 0, 255));
            image->metrics.bearingX = qint8((width - image->inkWidth) / 2 - image->inkLeft);
            putMetrics(strikeImages, image->metrics);
            strikeImages += image->bits;
        }
        put32(imageOffsets, quint32(strikeImages.size()));
        if (!any)
            continue;
        QByteArray index;
        put16(index, 1); // the one subtable's glyphs, and where it is from the array
        put16(index, quint16(wrapped.size()));
        put32(index, 8);
        put16(index, 1); // index format
        put16(index, 7); // image format
        put32(index, quint32(images.size()));
        index += imageOffsets;
        images += strikeImages;

        QByteArray record;
        put32(record, 0); // the array's offset, set below
        put32(record, quint32(index.size()));
        put32(record, 1);
        put32(record, 0);                                   // colorRef
        record += eblc.sliced(size + 16, 24).toByteArray(); // line metrics
        put16(record, 1);
        put16(record, quint16(wrapped.size()));
        record += eblc.sliced(size + 44, 4).toByteArray(); // ppemX, ppemY, bit depth, flags
        sizes.append(record);
        indexes.append(index);
    }
    QByteArray locations;
    put32(locations, 0x00020000);
    put32(locations, quint32(sizes.size()));
    qsizetype arrayAt = 8 + 48 * sizes.size();
    for (qsizetype k = 0; k < sizes.size(); ++k) {
        QByteArray record = sizes[k];
        set32(record, 0, quint32(arrayAt));
        locations += record;
        arrayAt += indexes[k].size();
    }
    for (const QByteArray &index : indexes)
        locations += index;

    QByteArray newHead = head.toByteArray();
    set16(newHead, 50, 1); // indexToLocFormat: long offsets
    QByteArray newMaxp = maxp.first(32).toByteArray();
    set16(newMaxp, 4, quint16(total));
    set16(newMaxp, 28, std::max<quint16>(1, u16(maxp, 28))); // maxComponentElements
    // One level more of components: the cell over the face's glyph.
    set16(newMaxp, 30, quint16(u16(maxp, 30) + 1));
    QByteArray newHhea = hhea.first(36).toByteArray();
    set16(newHhea, 10, std::max<quint16>(u16(hhea, 10), quint16(cell))); // advanceWidthMax
    set16(newHhea, 34, quint16(total));                                  // numberOfHMetrics
    const QByteArrayView facePost = face.table("post");
    QByteArray post = facePost.first(std::min<qsizetype>(facePost.size(), 32)).toByteArray();
    post.resize(32, '\0');
    set32(post, 0, 0x00030000); // version 3: no glyph names

    // The face's copyright and licence go with every font made from it.
    QList<std::pair<QByteArray, QByteArray>> tables{
        {"head", newHead},
        {"hhea", newHhea},
        {"maxp", newMaxp},
        {"hmtx", metrics},
        {"loca", offsets},
        {"glyf", glyphs},
        {"cmap", characterMap(map)},
        {"name", names(family, nameRecords(face, {0, 13, 14}))},
        {"post", post},
    };
    if (!sizes.isEmpty()) {
        tables.append({"EBLC", locations});
        tables.append({"EBDT", images});
    }
    for (const char *tag : {"OS/2", "gasp", "cvt ", "fpgm", "prep"}) {
        const QByteArrayView data = face.table(tag);
        if (!data.isEmpty())
            tables.append({QByteArray(tag, 4), data.toByteArray()});
    }
    return assemble(tables);
}

QString FullCellFont::install(const QByteArray &font)
{
    if (font.isEmpty())
        return {};
    return QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFontFromData(font))
        .value(0);
}
