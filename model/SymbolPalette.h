// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

class GbkCodec;

// The symbols a name can hold besides Chinese characters: every character the rule admits
// whose GBK form has two bytes and that is no ideograph, on named pages. 常用 comes first
// and repeats symbols of the other pages; every other page holds each symbol once.
class SymbolPalette
{
public:
    struct Page
    {
        QString title;
        QList<char32_t> symbols;
    };

    // Measures every character through the rule: built when first needed, not at start.
    explicit SymbolPalette(const GbkCodec &gbk);

    const QList<Page> &pages() const { return m_pages; }

    // Puts the symbol first on 常用 for the rest of the run; nothing is kept after it.
    void use(char32_t symbol);

    // What a screen reader says of it: its Chinese name where it has one, else the page it
    // is on, with its code: "实心五角星 U+2605", "线框 U+2554".
    QString describe(char32_t symbol) const;

private:
    QList<Page> m_pages;
};
