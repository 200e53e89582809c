// SPDX-License-Identifier: MIT
#include "SymbolPalette.h"

#include "GroupNameField.h"
#include "SymbolNameData.h"

#include <QChar>
#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The pages after 常用, in the order they are shown.
enum PageIndex
{
    Lines = SymbolPalette::RecentPage + 1,
    Shapes,
    ArrowsAndMaths,
    Numbers,
    Punctuation,
    GreekAndCyrillic,
    Kana,
    Pinyin,
    Units,
    FullWidth,
    PageCount
};

const std::array<const char16_t *, PageCount> Titles{
    u"常用",       u"最近",           u"线框",     u"形状与星",   u"箭头与数学", u"序号",
    u"标点与括号", u"希腊与俄文字母", u"日文假名", u"拼音与注音", u"单位",       u"全角字符"};

struct Range
{
    char32_t first, last;
    PageIndex page;
};

// Unicode blocks and the few characters that belong elsewhere than their block, first match
// wins. What none of them names goes by its general category (pageByCategory).
constexpr Range Ranges[] = {
    {0x00A4, 0x00A4, Units},
    {0x00B0, 0x00B0, Units},
    {0x00A7, 0x00A8, Punctuation},
    {0x00B7, 0x00B7, Punctuation},
    {0x00B1, 0x00B1, ArrowsAndMaths},
    {0x00D7, 0x00D7, ArrowsAndMaths},
    {0x00F7, 0x00F7, ArrowsAndMaths},
    {0x00C0, 0x02FF, Pinyin},
    {0x0370, 0x03FF, GreekAndCyrillic},
    {0x0400, 0x04FF, GreekAndCyrillic},
    {0x2000, 0x206F, Punctuation},
    {0x2100, 0x215F, Units},
    {0x2160, 0x218F, Numbers},
    {0x2190, 0x23FF, ArrowsAndMaths},
    {0x2460, 0x24FF, Numbers},
    {0x2500, 0x259F, Lines},
    {0x25A0, 0x26FF, Shapes},
    {0x2E80, 0x2FFF, Shapes},
    {0x3007, 0x3007, Numbers},
    {0x3021, 0x3029, Numbers},
    {0x3000, 0x303F, Punctuation},
    {0x3040, 0x30FF, Kana},
    {0x3100, 0x312F, Pinyin},
    {0x3220, 0x3230, Numbers},
    {0x3231, 0x3231, Units},
    {0x3232, 0x32FF, Shapes},
    {0x3380, 0x33FF, Units},
    {0xFE30, 0xFE6F, Punctuation},
    {0xFF00, 0xFFEF, FullWidth},
};

PageIndex pageByCategory(char32_t cp)
{
    switch (QChar::category(cp)) {
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return Numbers;
    case QChar::Symbol_Math:
        return ArrowsAndMaths;
    case QChar::Symbol_Currency:
        return Units;
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
        return Pinyin;
    case QChar::Symbol_Other:
        return Shapes;
    default:
        return Punctuation;
    }
}

PageIndex pageOf(char32_t cp)
{
    for (const Range &range : Ranges)
        if (cp >= range.first && cp <= range.last)
            return range.page;
    return pageByCategory(cp);
}

// Ideographs: Han letters, the characters an input method gives for Chinese words.
bool isIdeograph(char32_t cp)
{
    return QChar::script(cp) == QChar::Script_Han && QChar::category(cp) == QChar::Letter_Other;
}

// The symbols patterns are made of most, as they are offered first.
constexpr char16_t Common[] = u"╭╮╰╯━┃─│┏┓┗┛═║╔╗╚╝★☆◆◇●○◎■□▲△▼▽※〓→←↑↓↖↗↘↙♀♂【】『』〖〗《》「」"
                              u"〔〕︻︼︽︾①②③④⑤ⅠⅡⅢ㊣☉∞≈≠…·—～｜　▁▂▃▄▅▆▇█▓◢◣◤◥";

// A letter of another script, named by its script and itself: "平假名 あ".
QString scriptName(char32_t cp)
{
    struct Script
    {
        char32_t first, last;
        const char16_t *name;
    };
    static constexpr Script Scripts[] = {
        {0x00C0, 0x02AF, u"拼音字母"}, {0x0370, 0x03FF, u"希腊字母"}, {0x0400, 0x04FF, u"俄文字母"},
        {0x3040, 0x309F, u"平假名"},   {0x30A0, 0x30FF, u"片假名"},   {0x3100, 0x312F, u"注音符号"},
        {0xFF10, 0xFF19, u"全角数字"}, {0xFF21, 0xFF5A, u"全角字母"},
    };
    for (const Script &script : Scripts)
        if (cp >= script.first && cp <= script.last)
            return QString::fromUtf16(script.name) + u' ' + QString::fromUcs4(&cp, 1);
    return {};
}

// How well `term` answers `query`, both case-folded: lower is better, -1 not at all.
int rank(const QString &term, const QString &query, bool inOrder)
{
    if (term == query)
        return 0;
    if (term.startsWith(query))
        return 1;
    if (term.contains(query))
        return 2;
    if (!inOrder)
        return -1;
    qsizetype at = 0;
    for (const QChar c : query) {
        at = term.indexOf(c, at);
        if (at < 0)
            return -1;
        ++at;
    }
    return 3;
}

} // namespace

SymbolPalette::SymbolPalette(const GbkCodec &gbk)
{
    for (const char16_t *title : Titles)
        m_pages.append({QString::fromUtf16(title), {}});
    // GBK lies in the Basic Multilingual Plane; its ideograph blocks hold nothing else.
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if ((cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
            (cp >= 0xF900 && cp <= 0xFAFF))
            continue;
        if (GroupNameField::characterBytes(cp, gbk) != 2 || isIdeograph(cp) ||
            QChar::category(cp) == QChar::Other_PrivateUse)
            continue;
        // The rule composes what it is given: only what stays as it is can be offered.
        const QString symbol = QString::fromUcs4(&cp, 1);
        if (symbol.normalized(QString::NormalizationForm_C) != symbol)
            continue;
        m_pages[pageOf(cp)].symbols.append(cp);
    }
    for (const char16_t c : std::u16string_view(Common)) {
        if (m_pages[pageOf(c)].symbols.contains(c))
            m_pages.first().symbols.append(c);
    }
    readNames();
}

void SymbolPalette::readNames()
{
    QHash<char32_t, QStringList> table;
    for (const QString &line : QString::fromUtf8(SymbolNameData).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 6)
            table.insert(fields[0].toUInt(nullptr, 16), fields);
    }
    for (int page = RecentPage + 1; page < m_pages.size(); ++page) {
        for (const char32_t cp : std::as_const(m_pages[page].symbols)) {
            Entry entry{cp, {}, {}, {}};
            const QStringList fields = table.value(cp);
            if (!fields.isEmpty()) {
                // The tool's own name first, CLDR's where the tool has none.
                entry.name = !fields[1].isEmpty() ? fields[1] : fields[3];
                for (const int f : {1, 2, 3, 4})
                    if (!fields[f].isEmpty())
                        entry.chinese += fields[f].split(u'|');
                entry.english = fields[5].toCaseFolded();
            }
            if (entry.name.isEmpty()) {
                entry.name = scriptName(cp);
                entry.chinese.append(entry.name);
            }
            // The page's own name finds all of it: 线框, 序号.
            entry.chinese.append(m_pages[page].title);
            for (QString &term : entry.chinese)
                term = term.toCaseFolded();
            m_index.insert(cp, m_entries.size());
            m_entries.append(entry);
        }
    }
}

void SymbolPalette::use(char32_t symbol)
{
    QList<char32_t> &recent = m_pages[RecentPage].symbols;
    if (!recent.contains(symbol))
        recent.append(symbol);
}

QString SymbolPalette::name(char32_t symbol) const
{
    const auto at = m_index.constFind(symbol);
    return at != m_index.cend() ? m_entries[*at].name : QString();
}

QString SymbolPalette::describe(char32_t symbol) const
{
    const QString code = QStringLiteral("U+%1").arg(uint(symbol), 4, 16, QChar(u'0')).toUpper();
    const QString named = name(symbol);
    return (named.isEmpty() ? m_pages[pageOf(symbol)].title : named) + u' ' + code;
}

bool SymbolPalette::isBlank(char32_t symbol)
{
    return QChar::category(symbol) == QChar::Separator_Space;
}

QList<char32_t> SymbolPalette::search(QStringView query) const
{
    const QString folded = query.trimmed().toString().toCaseFolded();
    if (folded.isEmpty())
        return {};
    // "U+2605" or "2605", whole.
    QStringView hex = folded;
    if (hex.startsWith(u"u+"))
        hex = hex.mid(2);
    bool isCode = false;
    const char32_t code = hex.size() >= 4 && hex.size() <= 5 ? hex.toUInt(&isCode, 16) : 0;
    // Best first; within a rank, the pages' order.
    std::array<QList<char32_t>, 4> ranked;
    for (const Entry &entry : m_entries) {
        int best = -1;
        const auto better = [&best](int r) {
            if (r >= 0 && (best < 0 || r < best))
                best = r;
        };
        if ((isCode && entry.symbol == code) || QString::fromUcs4(&entry.symbol, 1) == folded)
            better(0);
        for (const QString &term : entry.chinese)
            better(rank(term, folded, true));
        // Letters in order would match most English names: equal, start or part only.
        better(rank(entry.english, folded, false));
        if (best >= 0)
            ranked[best].append(entry.symbol);
    }
    QList<char32_t> found;
    for (const QList<char32_t> &symbols : ranked)
        found += symbols;
    return found;
}
