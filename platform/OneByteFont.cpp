// SPDX-License-Identifier: MIT
#include "OneByteFont.h"

#include <QFontDatabase>
#include <QList>
#include <QRawFont>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace {

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// The sum of big-endian 32-bit words every table and the whole file are checked by.
quint32 checksum(const QByteArray &data)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        quint32 word = 0;
        for (qsizetype k = i; k < i + 4; ++k)
            word = (word << 8) | quint8(k < data.size() ? data[k] : 0);
        sum += word;
    }
    return sum;
}

// Binary-search fields of a table of `count` entries of `size` bytes: the largest power of
// two not above count, times size; its log2; and the rest.
void putSearch(QByteArray &out, int count, int size)
{
    int log2 = 0;
    while ((2 << log2) <= count)
        ++log2;
    const int range = (1 << log2) * size;
    put16(out, quint16(range));
    put16(out, quint16(log2));
    put16(out, quint16(count * size - range));
}

// GBK's one-byte characters: ASCII's printable range and the euro sign at 0x80.
QString oneByteCharacters()
{
    QString characters;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        characters.append(QChar(c));
    characters.append(QChar(0x20AC));
    return characters;
}

// A Unicode BMP character map (format 4), one segment per character: 97 characters need no
// ranges.
QByteArray characterMap(const QRawFont &source)
{
    const QString characters = oneByteCharacters();
    int count = characters.size();
    QList<quint32> glyphs(count);
    QList<std::pair<quint16, quint16>> map;
    if (source.glyphIndexesForChars(characters.constData(), count, glyphs.data(), &count)) {
        for (int i = 0; i < count; ++i) {
            if (glyphs[i] != 0)
                map.append({characters[i].unicode(), quint16(glyphs[i])});
        }
    }
    map.append({0xFFFF, 0}); // the closing segment every format 4 map ends with

    const int segments = int(map.size());
    QByteArray table;
    put16(table, 0); // version
    put16(table, 1); // one encoding: Windows, Unicode BMP
    put16(table, 3);
    put16(table, 1);
    put32(table, 12);
    put16(table, 4);
    put16(table, quint16(16 + 8 * segments));
    put16(table, 0); // language
    put16(table, quint16(2 * segments));
    putSearch(table, segments, 2);
    for (const auto &[code, glyph] : map)
        put16(table, code); // end
    put16(table, 0);
    for (const auto &[code, glyph] : map)
        put16(table, code); // start
    for (const auto &[code, glyph] : map)
        put16(table, code == 0xFFFF ? 1 : quint16(glyph - code)); // delta, modulo 65536
    for (int i = 0; i < segments; ++i)
        put16(table, 0); // no glyph array
    return table;
}

// Windows names in US English: family, style, unique, full and PostScript name.
QByteArray names(const QString &family)
{
    const QList<std::pair<quint16, QString>> records{{1, family},
                                                     {2, QStringLiteral("Regular")},
                                                     {3, family},
                                                     {4, family},
                                                     {6, QString(family).remove(u' ')}};
    QByteArray table;
    QByteArray strings;
    put16(table, 0);
    put16(table, quint16(records.size()));
    put16(table, quint16(6 + 12 * records.size()));
    for (const auto &[id, text] : records) {
        QByteArray utf16;
        for (const QChar c : text)
            put16(utf16, c.unicode());
        put16(table, 3);
        put16(table, 1);
        put16(table, 0x409);
        put16(table, id);
        put16(table, quint16(utf16.size()));
        put16(table, quint16(strings.size()));
        strings += utf16;
    }
    return table + strings;
}

} // namespace

QByteArray OneByteFont::build(const QRawFont &source, const QString &family)
{
    // Every table a TrueType or CFF font may draw, measure or hint with; a signature
    // would no longer match.
    static const char *const tags[] = {"BASE", "CFF ", "GDEF", "GPOS", "GSUB", "LTSH", "OS/2",
                                       "VDMX", "cmap", "cvt ", "fpgm", "gasp", "glyf", "hdmx",
                                       "head", "hhea", "hmtx", "kern", "loca", "maxp", "name",
                                       "post", "prep", "vhea", "vmtx"};
    QList<std::pair<QByteArray, QByteArray>> tables;
    for (const char *tag : tags) {
        const QByteArray name(tag, 4);
        QByteArray data = name == "cmap"   ? characterMap(source)
                          : name == "name" ? names(family)
                                           : source.fontTable(tag);
        if (name == "head" && data.size() >= 12)
            data.replace(8, 4, QByteArray(4, '\0')); // the file's check, set once it is whole
        // On its line as Windows sets it, by its Windows ascent: FreeType would take the
        // typographic one where the font asks, and draw every name higher in its field.
        if (name == "OS/2" && data.size() >= 64)
            data[63] = char(data[63] & ~0x80); // fsSelection's USE_TYPO_METRICS
        if (!data.isEmpty())
            tables.append({name, data});
    }
    const auto has = [&tables](const char *tag) {
        return std::any_of(tables.cbegin(), tables.cend(),
                           [tag](const auto &table) { return table.first == tag; });
    };
    const bool cff = has("CFF ");
    if (!cff && !has("glyf"))
        return {};

    const int count = int(tables.size());
    QByteArray file;
    put32(file, cff ? 0x4F54544F /* 'OTTO' */ : 0x00010000);
    put16(file, quint16(count));
    putSearch(file, count, 16);
    quint32 offset = 12 + 16 * count;
    for (const auto &[name, data] : tables) {
        file += name;
        put32(file, checksum(data));
        put32(file, offset);
        put32(file, quint32(data.size()));
        offset += (data.size() + 3) & ~3;
    }
    qsizetype head = -1;
    for (const auto &[name, data] : tables) {
        if (name == "head")
            head = file.size();
        file += data;
        file.append((4 - data.size() % 4) % 4, '\0');
    }
    if (head >= 0) {
        char adjustment[4];
        qToBigEndian(quint32(0xB1B0AFBA - checksum(file)), adjustment);
        file.replace(head + 8, 4, QByteArray(adjustment, 4));
    }
    return file;
}

QString OneByteFont::install(const QString &family, const QStringList &files)
{
    // Only the tables are read: any size will do.
    QFont font(family);
    font.setPixelSize(12);
    QRawFont source = QRawFont::fromFont(font);
    for (auto file = files.cbegin(); source.familyName() != family && file != files.cend(); ++file)
        source.loadFromFile(*file, 12, QFont::PreferDefaultHinting);
    if (!source.isValid() || source.familyName() != family)
        return {};
    const int id = QFontDatabase::addApplicationFontFromData(build(source, familyOf(family)));
    return QFontDatabase::applicationFontFamilies(id).value(0);
}
