// SPDX-License-Identifier: MIT
// Prints the tool's GBK length of every Basic Multilingual Plane code point, one digit each
// (0, 1 or 2) in code-point order, so that the Windows build can be held to the Linux one.
#include "SystemGbkCodec.h"

#include <cstdio>

int main()
{
    const SystemGbkCodec codec;
    if (!codec.isAvailable())
        return 1;
    for (char32_t cp = 0; cp < 0x10000; ++cp)
        std::putchar('0' + codec.byteLength(cp).value_or(0));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
