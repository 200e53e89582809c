// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <iconv.h>

// glibc's own code-page 936 table, an independent source for the tool's GBK lengths: one
// digit for each Basic Multilingual Plane code point, the bytes it takes (0 for none and for
// the surrogates). Empty when glibc has no such converter.
inline QByteArray cp936Lengths()
{
    iconv_t cd = iconv_open("CP936", "UTF-32LE");
    if (cd == iconv_t(-1))
        return {};
    QByteArray lengths(0x10000, '0');
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), 0, 0};
        char out[8];
        char *inp = in;
        char *outp = out;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1))
            lengths[int(cp)] = char('0' + (outp - out));
    }
    iconv_close(cd);
    return lengths;
}
