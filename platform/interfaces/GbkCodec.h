// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

// Measures text in GBK, code page 936, the encoding group names are exchanged in.
class GbkCodec
{
public:
    virtual ~GbkCodec() = default;

    // Bytes the code point takes in GBK, 1 or 2; nothing when it has no GBK form.
    virtual std::optional<int> byteLength(char32_t codePoint) const = 0;
};
