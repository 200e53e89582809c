// SPDX-License-Identifier: MIT
#include "Sfnt.h"

#include <QtEndian>

#include <algorithm>

namespace {

// The sum of big-endian 32-bit words every table and the whole file are checked by.
quint32 checksum(QByteArrayView data)
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
    Sfnt::put16(out, quint16(range));
    Sfnt::put16(out, quint16(log2));
    Sfnt::put16(out, quint16(count * size - range));
}

constexpr quint32 Collection = 0x74746366; // 'ttcf'

} // namespace

quint8 Sfnt::u8(QByteArrayView data, qsizetype at)
{
    return at >= 0 && at < data.size() ? quint8(data[at]) : 0;
}

quint16 Sfnt::u16(QByteArrayView data, qsizetype at)
{
    return quint16(u8(data, at) << 8 | u8(data, at + 1));
}

qint16 Sfnt::s16(QByteArrayView data, qsizetype at)
{
    return qint16(u16(data, at));
}

quint32 Sfnt::u32(QByteArrayView data, qsizetype at)
{
    return quint32(u16(data, at)) << 16 | u16(data, at + 2);
}

void Sfnt::put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void Sfnt::put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

Sfnt::Face::Face(QByteArrayView file, int index) : m_file(file)
{
    qsizetype offset = 0;
    if (u32(file, 0) == Collection) {
        if (index < 0 || quint32(index) >= u32(file, 8))
            return;
        offset = u32(file, 12 + 4 * qsizetype(index));
    } else if (index != 0) {
        return;
    }
    const qsizetype size = 12 + 16 * qsizetype(u16(file, offset + 4));
    if (offset < 0 || offset + size > file.size() || size == 12)
        return;
    m_directory = file.sliced(offset, size);
}

QByteArrayView Sfnt::Face::table(const char *tag) const
{
    const QByteArrayView wanted(tag, 4);
    for (qsizetype at = 12; at + 16 <= m_directory.size(); at += 16) {
        if (m_directory.sliced(at, 4) != wanted)
            continue;
        const qsizetype offset = u32(m_directory, at + 8);
        const qsizetype length = u32(m_directory, at + 12);
        if (offset + length > m_file.size())
            return {};
        return m_file.sliced(offset, length);
    }
    return {};
}

void Sfnt::forEachMapping(const Face &face, const std::function<void(char16_t, quint16)> &found)
{
    const QByteArrayView cmap = face.table("cmap");
    // A format 12 map of Windows' full Unicode or of the Unicode platform, else a format 4
    // one of Windows' BMP or of the Unicode platform.
    qsizetype best = -1;
    int bestRank = 0;
    for (int i = 0; i < u16(cmap, 2); ++i) {
        const quint16 platform = u16(cmap, 4 + 8 * i);
        const quint16 encoding = u16(cmap, 6 + 8 * i);
        const qsizetype offset = u32(cmap, 8 + 8 * i);
        const quint16 format = u16(cmap, offset);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        const int rank = !unicode ? 0 : format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > bestRank) {
            best = offset;
            bestRank = rank;
        }
    }
    if (best < 0)
        return;
    const QByteArrayView map = cmap.sliced(std::min(best, cmap.size()));
    if (bestRank == 2) {
        const quint32 groups = std::min<quint32>(u32(map, 12), quint32(map.size() / 12));
        for (quint32 i = 0; i < groups; ++i) {
            const quint32 start = u32(map, 16 + 12 * i);
            const quint32 end = std::min<quint32>(u32(map, 20 + 12 * i), 0xFFFF);
            const quint32 glyph = u32(map, 24 + 12 * i);
            for (quint32 c = start; c <= end; ++c) {
                if (glyph + (c - start) <= 0xFFFF)
                    found(char16_t(c), quint16(glyph + (c - start)));
            }
        }
        return;
    }
    const int segments = u16(map, 6) / 2;
    const qsizetype ends = 14;
    const qsizetype starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments;
    const qsizetype ranges = deltas + 2 * segments;
    for (int i = 0; i < segments; ++i) {
        const quint16 start = u16(map, starts + 2 * i);
        const quint16 end = u16(map, ends + 2 * i);
        const quint16 delta = u16(map, deltas + 2 * i);
        const quint16 range = u16(map, ranges + 2 * i);
        for (quint32 c = start; c <= end && c < 0xFFFF; ++c) {
            quint16 glyph = 0;
            if (range == 0) {
                glyph = quint16(c + delta);
            } else {
                glyph = u16(map, ranges + 2 * i + range + 2 * (c - start));
                if (glyph != 0)
                    glyph = quint16(glyph + delta);
            }
            if (glyph != 0)
                found(char16_t(c), glyph);
        }
    }
}

QList<int> Sfnt::strikeSizes(const Face &face)
{
    const QByteArrayView eblc = face.table("EBLC");
    QList<int> sizes;
    for (quint32 i = 0; i < u32(eblc, 4) && 8 + 48 * qsizetype(i + 1) <= eblc.size(); ++i)
        sizes.append(u8(eblc, 8 + 48 * i + 44)); // ppemX
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

QByteArray Sfnt::characterMap(const QList<std::pair<quint16, quint16>> &characters)
{
    // One segment per character: the few characters of a derived font need no ranges.
    QList<std::pair<quint16, quint16>> map = characters;
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

QByteArray Sfnt::names(const QString &family, const QList<std::pair<quint16, QByteArray>> &kept)
{
    QList<std::pair<quint16, QByteArray>> records;
    const auto add = [&records](quint16 id, const QString &text) {
        QByteArray utf16;
        for (const QChar c : text)
            put16(utf16, c.unicode());
        records.append({id, utf16});
    };
    add(1, family);
    add(2, QStringLiteral("Regular"));
    add(3, family);
    add(4, family);
    add(6, QString(family).remove(u' '));
    records += kept;
    // Ordered by name ID, as the table's records must be.
    std::stable_sort(records.begin(), records.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QByteArray table;
    QByteArray strings;
    put16(table, 0);
    put16(table, quint16(records.size()));
    put16(table, quint16(6 + 12 * records.size()));
    for (const auto &[id, text] : records) {
        put16(table, 3);
        put16(table, 1);
        put16(table, 0x409);
        put16(table, id);
        put16(table, quint16(text.size()));
        put16(table, quint16(strings.size()));
        strings += text;
    }
    return table + strings;
}

QList<std::pair<quint16, QByteArray>> Sfnt::nameRecords(const Face &face, const QList<quint16> &ids)
{
    const QByteArrayView name = face.table("name");
    const qsizetype strings = u16(name, 4);
    QList<std::pair<quint16, QByteArray>> records;
    for (int i = 0; i < u16(name, 2); ++i) {
        const qsizetype at = 6 + 12 * i;
        const quint16 id = u16(name, at + 6);
        if (u16(name, at) != 3 || u16(name, at + 2) != 1 || u16(name, at + 4) != 0x409 ||
            !ids.contains(id))
            continue;
        const qsizetype offset = strings + u16(name, at + 10);
        const qsizetype length = u16(name, at + 8);
        if (offset + length <= name.size())
            records.append({id, name.sliced(offset, length).toByteArray()});
    }
    return records;
}

QByteArray Sfnt::assemble(QList<std::pair<QByteArray, QByteArray>> tables)
{
    std::sort(tables.begin(), tables.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    const bool cff = std::any_of(tables.cbegin(), tables.cend(),
                                 [](const auto &table) { return table.first == "CFF "; });
    const int count = int(tables.size());
    QByteArray file;
    put32(file, cff ? 0x4F54544F /* 'OTTO' */ : 0x00010000);
    put16(file, quint16(count));
    putSearch(file, count, 16);
    quint32 offset = 12 + 16 * count;
    for (auto &[name, data] : tables) {
        if (name == "head" && data.size() >= 12)
            data.replace(8, 4, QByteArray(4, '\0')); // the file's check, set once it is whole
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
