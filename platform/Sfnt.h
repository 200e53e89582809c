// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

// Reading and writing TrueType (sfnt) font files, as much as the program's derived fonts
// need. Every read is checked against the data's end: a value past it reads as 0.
namespace Sfnt {

quint8 u8(QByteArrayView data, qsizetype at);
quint16 u16(QByteArrayView data, qsizetype at);
qint16 s16(QByteArrayView data, qsizetype at);
quint32 u32(QByteArrayView data, qsizetype at);

void put16(QByteArray &out, quint16 value);
void put32(QByteArray &out, quint32 value);

// One face of a font file or of a collection (.ttc), its tables read in place.
class Face
{
public:
    Face(QByteArrayView file, int index);
    bool isValid() const { return !m_directory.isEmpty(); }
    // The table, or nothing where the face has none or it lies past the file's end.
    QByteArrayView table(const char *tag) const;

private:
    QByteArrayView m_file;
    QByteArrayView m_directory;
};

// Calls `found` with each character of the Basic Multilingual Plane the face's Unicode
// character map gives a glyph, and that glyph.
void forEachMapping(const Face &face, const std::function<void(char16_t, quint16)> &found);

// The pixel sizes of the face's embedded bitmap strikes (EBLC), smallest first.
QList<int> strikeSizes(const Face &face);

// A Unicode BMP character map (format 4) of (character, glyph), ordered by character.
QByteArray characterMap(const QList<std::pair<quint16, quint16>> &map);

// Windows names in US English: family, style, unique, full and PostScript name, and the
// records of `kept` (ID and UTF-16BE text, as read from another font's name table).
QByteArray names(const QString &family, const QList<std::pair<quint16, QByteArray>> &kept = {});

// The records of `ids` in the face's name table, for Windows, Unicode, US English.
QList<std::pair<quint16, QByteArray>> nameRecords(const Face &face, const QList<quint16> &ids);

// A font file of the tables (tag, data), with its directory and checksums; `head` has
// its checkSumAdjustment set here.
QByteArray assemble(QList<std::pair<QByteArray, QByteArray>> tables);

} // namespace Sfnt
