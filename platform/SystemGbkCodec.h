// SPDX-License-Identifier: MIT
#pragma once

#include "GbkCodec.h"

#include <QStringEncoder>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

// GBK measurement backed by the system's own code-page 936 table.
// Lengths are looked up once per block of 256 code points and cached, so that
// measuring a long paste costs a table read per character.
class SystemGbkCodec final : public GbkCodec
{
public:
    // The system's conversions that may know code page 936, tried in this order: Qt's own
    // (ICU on Linux), the C library's iconv, the Windows code page.
    enum Source : unsigned
    {
        QtConverter = 1,
        Iconv = 2,
        WindowsCodePage = 4,
    };
    static constexpr unsigned AllSources = QtConverter | Iconv | WindowsCodePage;

    explicit SystemGbkCodec(unsigned sources = AllSources);
    ~SystemGbkCodec() override;
    SystemGbkCodec(const SystemGbkCodec &) = delete;
    SystemGbkCodec &operator=(const SystemGbkCodec &) = delete;

    // The conversion that measures; nothing when the system has none with code page 936,
    // and then no length is known.
    std::optional<Source> source() const { return m_source; }
    bool isAvailable() const { return m_source.has_value(); }

    std::optional<int> byteLength(char32_t codePoint) const override;

private:
    static constexpr int BlockSize = 256;
    void fillBlock(int block) const;

    std::optional<Source> m_source;
    mutable QStringEncoder m_encoder;
    void *m_iconv = nullptr; // iconv_t, where the C library converts
    mutable std::bitset<0x10000 / BlockSize> m_filled;
    mutable std::array<std::uint8_t, 0x10000> m_lengths{}; // 0: no GBK form
};
