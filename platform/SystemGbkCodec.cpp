// SPDX-License-Identifier: MIT
#include "SystemGbkCodec.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <iconv.h>
#endif

namespace {
constexpr char32_t BmpEnd = 0x10000;
// Debian's Qt converts with ICU, whose "GBK" is the code-page 936 table, as is glibc's CP936.
constexpr char GbkName[] = "GBK";

#ifdef Q_OS_WIN
constexpr UINT CodePage936 = 936;

bool windowsHasGbk()
{
    CPINFO info;
    return GetCPInfo(CodePage936, &info) != 0;
}

// Exact mappings only: no best-fit substitutes, and the default character tells a miss.
int windowsLength(char16_t unit)
{
    const wchar_t wide = static_cast<wchar_t>(unit);
    char out[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CodePage936, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out,
                                      nullptr, &usedDefault);
    return (n <= 0 || usedDefault) ? 0 : n;
}
#else
void *openIconv()
{
    const iconv_t cd = iconv_open("CP936", "UTF-32LE");
    return cd == iconv_t(-1) ? nullptr : cd;
}

// A conversion error tells a miss: glibc converts exactly or not at all.
int iconvLength(void *cd, char32_t cp)
{
    char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), 0, 0};
    char out[8];
    char *inp = in;
    char *outp = out;
    size_t inLeft = sizeof in;
    size_t outLeft = sizeof out;
    iconv(iconv_t(cd), nullptr, nullptr, nullptr, nullptr);
    if (iconv(iconv_t(cd), &inp, &inLeft, &outp, &outLeft) == size_t(-1))
        return 0;
    return int(outp - out);
}
#endif
} // namespace

SystemGbkCodec::SystemGbkCodec(unsigned sources)
{
    if (sources & QtConverter) {
        m_encoder = QStringEncoder(GbkName, QStringConverter::Flag::Stateless);
        if (m_encoder.isValid()) {
            m_source = QtConverter;
            return;
        }
    }
#ifdef Q_OS_WIN
    if ((sources & WindowsCodePage) && windowsHasGbk())
        m_source = WindowsCodePage;
#else
    if (sources & Iconv) {
        m_iconv = openIconv();
        if (m_iconv)
            m_source = Iconv;
    }
#endif
}

SystemGbkCodec::~SystemGbkCodec()
{
#ifndef Q_OS_WIN
    if (m_iconv)
        iconv_close(iconv_t(m_iconv));
#endif
}

std::optional<int> SystemGbkCodec::byteLength(char32_t codePoint) const
{
    // Code page 936 has no forms beyond the Basic Multilingual Plane, and a surrogate
    // code unit on its own is no character. Its user-defined area maps to the Private Use
    // Area, whose characters only a private font can draw: no one else would see them.
    if (!m_source || codePoint >= BmpEnd || (codePoint >= 0xD800 && codePoint <= 0xDFFF) ||
        (codePoint >= 0xE000 && codePoint <= 0xF8FF))
        return std::nullopt;
    const int block = static_cast<int>(codePoint / BlockSize);
    if (!m_filled.test(static_cast<std::size_t>(block)))
        fillBlock(block);
    const int length = m_lengths[codePoint];
    return length ? std::optional<int>(length) : std::nullopt;
}

void SystemGbkCodec::fillBlock(int block) const
{
    const char32_t first = static_cast<char32_t>(block) * BlockSize;
    for (char32_t cp = first; cp < first + BlockSize; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        int length = 0;
        switch (*m_source) {
        case QtConverter: {
            // Qt 6.4 keeps an encoder's error flag set even across resetState(), so a miss
            // is told by the substitute '?' that ICU writes for a character without a form.
            const QChar ch(static_cast<char16_t>(cp));
            const QByteArray bytes = m_encoder.encode(QStringView(&ch, 1));
            length = bytes == "?" && cp != u'?' ? 0 : int(bytes.size());
            break;
        }
        case Iconv:
#ifndef Q_OS_WIN
            length = iconvLength(m_iconv, cp);
#endif
            break;
        case WindowsCodePage:
#ifdef Q_OS_WIN
            length = windowsLength(static_cast<char16_t>(cp));
#endif
            break;
        }
        m_lengths[cp] = static_cast<std::uint8_t>(length);
    }
    m_filled.set(static_cast<std::size_t>(block));
}
