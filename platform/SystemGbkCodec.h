// SPDX-License-Identifier: MIT
#pragma once

#include "GbkCodec.h"

#include <array>
#include <bitset>
#include <cstdint>

// GBK measurement backed by the system's own code-page 936 table.
// Lengths are looked up once per block of 256 code points and cached, so that
// measuring a long paste costs a table read per character, and nothing of the
// conversion is loaded before the first name is edited.
class SystemGbkCodec final : public GbkCodec
{
public:
    SystemGbkCodec();
    ~SystemGbkCodec() override;

    // False when the system offers no code-page 936 conversion at all.
    bool isAvailable() const;

    int byteLength(char32_t codePoint) const override;

private:
    static constexpr int BlockSize = 256;
    void fillBlock(int block) const;

    mutable std::bitset<0x10000 / BlockSize> m_filled;
    mutable std::array<std::uint8_t, 0x10000> m_lengths{};
};
