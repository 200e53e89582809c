// SPDX-License-Identifier: MIT
#include "SymbolPalette.h"

#include "GroupNameField.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// The pages after 常用, in the order they are shown.
enum PageIndex
{
    Lines = 1,
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
    u"常用",           u"线框",     u"形状与星",   u"箭头与数学", u"序号",    u"标点与括号",
    u"希腊与俄文字母", u"日文假名", u"拼音与注音", u"单位",       u"全角字符"};

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
                              u"〔〕︻︼︽︾①②③④⑤ⅠⅡⅢ㊣☉∞≈≠…·—～｜▁▂▃▄▅▆▇█▓◢◣◤◥";

struct Name
{
    char16_t symbol;
    const char16_t *name;
};

constexpr Name Names[] = {
    {u'★', u"实心五角星"},    {u'☆', u"空心五角星"}, {u'◆', u"实心菱形"}, {u'◇', u"空心菱形"},
    {u'●', u"实心圆"},        {u'○', u"空心圆"},     {u'◎', u"双圆"},     {u'■', u"实心方块"},
    {u'□', u"空心方块"},      {u'▲', u"实心三角"},   {u'△', u"空心三角"}, {u'※', u"参考符号"},
    {u'〓', u"下齐等号"},     {u'→', u"右箭头"},     {u'←', u"左箭头"},   {u'↑', u"上箭头"},
    {u'↓', u"下箭头"},        {u'♀', u"女性符号"},   {u'♂', u"男性符号"}, {u'【', u"左实心方括号"},
    {u'】', u"右实心方括号"}, {u'╭', u"左上圆角"},   {u'╮', u"右上圆角"}, {u'╰', u"左下圆角"},
    {u'╯', u"右下圆角"},      {u'━', u"粗横线"},     {u'┃', u"粗竖线"},   {u'─', u"细横线"},
    {u'│', u"细竖线"},        {u'　', u"全角空格"},  {u'…', u"省略号"},   {u'·', u"间隔点"},
};

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
}

void SymbolPalette::use(char32_t symbol)
{
    QList<char32_t> &common = m_pages.first().symbols;
    common.removeOne(symbol);
    common.prepend(symbol);
}

QString SymbolPalette::describe(char32_t symbol) const
{
    const QString code = QStringLiteral("U+%1").arg(uint(symbol), 4, 16, QChar(u'0')).toUpper();
    const auto named = std::find_if(std::begin(Names), std::end(Names),
                                    [symbol](const Name &n) { return n.symbol == symbol; });
    if (named != std::end(Names))
        return QString::fromUtf16(named->name) + u' ' + code;
    return m_pages[pageOf(symbol)].title + u' ' + code;
}
