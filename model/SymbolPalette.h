// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class GbkCodec;

// The symbols a name can hold besides Chinese characters: every character the rule admits
// whose GBK form has two bytes and that is no ideograph, on named pages. 常用 comes first,
// in a fixed order, then 最近, the symbols used in this run; both repeat symbols of the
// other pages, which hold each symbol once.
class SymbolPalette
{
public:
    struct Page
    {
        QString title;
        QList<char32_t> symbols;
    };
    enum : int
    {
        CommonPage,
        RecentPage
    };

    // Measures every character through the rule and reads the names: built when first
    // needed, not at start.
    explicit SymbolPalette(const GbkCodec &gbk);

    const QList<Page> &pages() const { return m_pages; }

    // A symbol the rule let into a name: on 最近 for the rest of the run, where it was
    // first put; nothing is kept after it.
    void use(char32_t symbol);

    // Its Chinese name: the tool's own, else CLDR's, else its script's with the letter.
    QString name(char32_t symbol) const;
    // What a screen reader says of it, with its code: "实心五角星 U+2605".
    QString describe(char32_t symbol) const;
    // It draws nothing visible, so its cell is labelled: U+3000.
    static bool isBlank(char32_t symbol);

    // The symbols whose Chinese names or aliases, Unicode name (any case) or code
    // ("U+2605", "2605") answer `query`: equal first, then starting with it, then holding
    // it, then (Chinese only) holding its characters in order; each in the pages' order.
    QList<char32_t> search(QStringView query) const;

private:
    struct Entry
    {
        char32_t symbol;
        QString name;
        QStringList chinese; // case-folded, the page's name among them
        QString english;     // case-folded
    };
    void readNames();

    QList<Page> m_pages;
    QList<Entry> m_entries; // every symbol once, in the pages' order
    QHash<char32_t, qsizetype> m_index;
};
