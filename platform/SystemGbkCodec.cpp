// SPDX-License-Identifier: MIT
#include "SystemGbkCodec.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <QStringEncoder>
#endif

namespace {
constexpr char32_t BmpEnd = 0x10000;

#ifdef Q_OS_WIN
constexpr UINT CodePage936 = 936;

bool systemHasGbk()
{
    CPINFO info;
    return GetCPInfo(CodePage936, &info) != 0;
}

// Exact mappings only: no best-fit substitutes, and the default character tells a miss.
int encodedLength(char16_t unit)
{
    const wchar_t wide = static_cast<wchar_t>(unit);
    char out[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CodePage936, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out,
                                      nullptr, &usedDefault);
    return (n <= 0 || usedDefault) ? 0 : n;
}
#else
// Debian's Qt converts with ICU, whose "GBK" is the code-page 936 table.
constexpr char GbkName[] = "GBK";

bool systemHasGbk()
{
    return QStringEncoder(GbkName).isValid();
}
#endif
} // namespace

SystemGbkCodec::SystemGbkCodec() = default;

bool SystemGbkCodec::isAvailable() const
{
    return systemHasGbk();
}

SystemGbkCodec::~SystemGbkCodec() = default;

int SystemGbkCodec::byteLength(char32_t codePoint) const
{
    // Code page 936 has no forms beyond the Basic Multilingual Plane, and a surrogate
    // code unit on its own is no character. Its user-defined area maps to the Private Use
    // Area, whose characters only a private font can draw: no one else would see them.
    if (codePoint >= BmpEnd || (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        || (codePoint >= 0xE000 && codePoint <= 0xF8FF))
        return 0;
    const int block = static_cast<int>(codePoint / BlockSize);
    if (!m_filled.test(static_cast<std::size_t>(block)))
        fillBlock(block);
    return m_lengths[codePoint];
}

void SystemGbkCodec::fillBlock(int block) const
{
    const char32_t first = static_cast<char32_t>(block) * BlockSize;
#ifdef Q_OS_WIN
    for (char32_t cp = first; cp < first + BlockSize; ++cp)
        m_lengths[cp] = static_cast<std::uint8_t>(encodedLength(static_cast<char16_t>(cp)));
#else
    // Qt 6.4 keeps an encoder's error flag set even across resetState(), so a miss is
    // told by the substitute '?' that ICU writes for a character without a form.
    QStringEncoder encoder(GbkName, QStringConverter::Flag::Stateless);
    for (char32_t cp = first; cp < first + BlockSize; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        if (!encoder.isValid()) {
            // Without the table, ASCII is the one part of code page 936 known for sure.
            m_lengths[cp] = cp < 0x80 ? 1 : 0;
            continue;
        }
        const QChar ch(static_cast<char16_t>(cp));
        const QByteArray bytes = encoder.encode(QStringView(&ch, 1));
        const bool substituted = bytes == "?" && cp != u'?';
        m_lengths[cp] = substituted ? 0 : static_cast<std::uint8_t>(bytes.size());
    }
#endif
    m_filled.set(static_cast<std::size_t>(block));
}
