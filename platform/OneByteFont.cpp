// SPDX-License-Identifier: MIT
#include "OneByteFont.h"

#include "Sfnt.h"

#include <QFontDatabase>
#include <QList>
#include <QRawFont>

#include <algorithm>
#include <utility>

namespace {

// GBK's one-byte characters: ASCII's printable range and the euro sign at 0x80.
QString oneByteCharacters()
{
    QString characters;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        characters.append(QChar(c));
    characters.append(QChar(0x20AC));
    return characters;
}

// The source's glyphs of the one-byte characters, and no other.
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
    return Sfnt::characterMap(map);
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
                          : name == "name" ? Sfnt::names(family)
                                           : source.fontTable(tag);
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
    if (!has("CFF ") && !has("glyf"))
        return {};
    return Sfnt::assemble(tables);
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
