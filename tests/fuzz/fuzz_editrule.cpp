// SPDX-License-Identifier: MIT
// libFuzzer target for the edit rule. An input is a chain of edits applied to a name that
// starts empty, so every name an edit sees was itself made by the rule. Each edit is
// checked against a plain reference and a GBK table built from the encoder itself.
//
// Record: op, from, to, length, then `length` bytes of inserted text.
//   op bit 0  the edit reaches the rule as a line editor's proposal: its selection before
//             the change, its text and cursor after (editOf)
//   op bit 1  the bytes are raw UTF-16LE; else one byte per character: ASCII below 0x80,
//             and from 0x80 a table of characters that probe the rule
//   op bit 2  the inserted text is repeated 64 times (long pastes)
//   op bit 3  with bit 0: the editor reports a cursor of its own, `to` read as that cursor
#include "GroupNameField.h"
#include "LineEditChange.h"
#include "SystemGbkCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr char16_t Probes[] = {
    u'\r',  u'\n',  0x2028, 0x2029, 0x0000, 0x001B, 0x0085, 0x007F, 0xD800, 0xDC00,
    0xD83D, 0xDE00, 0xE000, 0xF8FF, 0x20AC, 0x4E2D, 0x4E00, 0x2661, 0x00F1, 0x00E9,
    0x200E, 0x202E, 0x2066, 0xFEFF, 0xFFFD, 0xFFFF, 0x3000, 0xFF01, u'\t',  0x000B,
    0x000C, 0x001F, 0x00A0, 0x2605, 0x00B7, 0x30FB, 0x0080, 0x009F, 0xE5E5, 0xFE10,
    0x4DAE, 0x9FA5, 0x00A4, 0x0451, 0x2116, 0x3007, 0xFA0C, 0x2E81, 0x01F9, 0x1E3F,
};
constexpr std::size_t ProbeCount = sizeof Probes / sizeof Probes[0];

// GBK bytes per BMP code point, from an encode and decode round trip: a character has a
// GBK form exactly when it comes back as itself.
std::array<std::uint8_t, 0x10000> g_gbk{};

const SystemGbkCodec &codec()
{
    static const SystemGbkCodec gbk;
    return gbk;
}

QByteArray describe(QStringView s)
{
    QByteArray out;
    for (const QChar c : s)
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F
                   ? QByteArray(1, char(c.unicode()))
                   : "\\u" + QByteArray::number(c.unicode(), 16);
    return out;
}

[[noreturn]] void fail(const char *what, const QString &name, int from, int to,
                       QStringView inserted, const NameEdit &edit)
{
    std::fprintf(stderr,
                 "edit rule: %s\n  name     \"%s\"\n  from %d to %d\n  inserted \"%s\"\n"
                 "  result   \"%s\" cursor %d changed %d\n",
                 what, describe(name).constData(), from, to,
                 describe(inserted.left(200)).constData(), describe(edit.text()).constData(),
                 edit.cursor(), int(edit.changed()));
    std::abort();
}

bool isBreak(char32_t cp)
{
    return cp == u'\r' || cp == u'\n' || cp == 0x2028 || cp == 0x2029;
}

// Bytes a code point takes in a name, or 0 when it may never enter one. PUA is out: only
// a private font draws it.
int allowed(char32_t cp)
{
    if (cp >= 0x10000 || (cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0xE000 && cp <= 0xF8FF))
        return 0;
    if (QChar::category(cp) == QChar::Other_Control)
        return 0;
    return g_gbk[cp];
}

template <typename F> void forEachCodePoint(QStringView s, F f)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            if (!f(QChar::surrogateToUcs4(c, s[i + 1]), s.mid(i, 2)))
                return;
            ++i;
        } else if (!f(c.unicode(), s.mid(i, 1))) {
            return;
        }
    }
}

// Bytes of a name, or -1 when it holds anything a name may not.
int nameBytes(QStringView s)
{
    int total = 0;
    forEachCodePoint(s, [&](char32_t cp, QStringView) {
        const int n = isBreak(cp) ? 0 : allowed(cp);
        total = n == 0 ? -1 : total + n;
        return n != 0;
    });
    return total;
}

// What a name may take of an insertion: up to its first line break, in composed form (NFC),
// without what may never enter a name.
QString admissible(QStringView inserted)
{
    qsizetype end = 0;
    while (end < inserted.size() && !isBreak(inserted[end].unicode()))
        ++end;
    const QString composed = inserted.left(end).toString().normalized(QString::NormalizationForm_C);
    QString out;
    forEachCodePoint(composed, [&](char32_t cp, QStringView chars) {
        if (allowed(cp) != 0)
            out += chars;
        return true;
    });
    return out;
}

// The longest prefix of `candidates` that fits in `budget` bytes.
QString longestFit(const QString &candidates, int budget)
{
    qsizetype end = 0;
    for (; end < candidates.size(); ++end) {
        budget -= g_gbk[candidates[end].unicode()];
        if (budget < 0)
            break;
    }
    return candidates.left(end);
}

enum class Mode
{
    Edit,
    Proposal,
    ProposalWithCursor
};

NameEdit checkedEdit(const QString &name, int from, int to, const QString &inserted, Mode mode,
                     int cursorArg)
{
    const int f = std::clamp(from, 0, int(name.size()));
    const int t = std::clamp(to, f, int(name.size()));
    const QString proposed = name.left(f) + inserted + name.mid(t);
    const auto rule = [&] {
        switch (mode) {
        case Mode::Proposal:
            return GroupNameField::applyEdit(
                name, LineEditChange::editOf(name, from, to, proposed, int(f + inserted.size())),
                codec());
        case Mode::ProposalWithCursor:
            return GroupNameField::applyEdit(
                name, LineEditChange::editOf(name, from, to, proposed, cursorArg), codec());
        case Mode::Edit:
            break;
        }
        return GroupNameField::applyEdit(name, TextEdit{from, to, inserted}, codec());
    };
    const NameEdit edit = rule();

    const int bytes = nameBytes(edit.text());
    if (bytes < 0)
        fail("holds a character a name may not", name, f, t, inserted, edit);
    if (bytes > GroupNameField::MaxBytes)
        fail("longer than 16 GBK bytes", name, f, t, inserted, edit);
    if (GroupNameField::byteLength(edit.text(), codec()) != bytes)
        fail("measured otherwise than the encoder", name, f, t, inserted, edit);
    if (edit.changed() != (edit.text() != name))
        fail("changed flag wrong", name, f, t, inserted, edit);
    if (edit.cursor() < 0 || edit.cursor() > edit.text().size())
        fail("cursor outside the name", name, f, t, inserted, edit);
    if (mode == Mode::ProposalWithCursor)
        return edit; // a cursor no edit of the selection gives: only the name's validity is known

    if (!edit.text().startsWith(name.left(f)) || !edit.text().endsWith(name.mid(t)) ||
        edit.text().size() < f + (name.size() - t))
        fail("touched text outside the edit", name, f, t, inserted, edit);

    // The reference: a prefix of what is admissible, as long as the rest of the name allows.
    const QString rest = name.left(f) + name.mid(t);
    const QString kept =
        longestFit(admissible(inserted), GroupNameField::MaxBytes - nameBytes(rest));
    QString expected = rest;
    if (inserted.isEmpty())
        ;
    else if (kept.isEmpty())
        expected = name;
    else
        expected.insert(f, kept);

    // Told the selection, a proposal is the edit itself: the same outcome either way.
    if (edit.text() != expected)
        fail(qPrintable(QStringLiteral("differs from the reference \"%1\"")
                            .arg(QString::fromLatin1(describe(expected)))),
             name, f, t, inserted, edit);
    if (edit.changed() && edit.cursor() != f + kept.size())
        fail("cursor not after the kept text", name, f, t, inserted, edit);
    return edit;
}

int position(std::uint8_t b, const QString &name)
{
    return int(b % (name.size() + 3)) - 1; // one past either end, to cover clamping
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid() || !decoder.isValid() || !codec().isAvailable()) {
        std::fprintf(stderr, "no GBK conversion on this system\n");
        std::abort();
    }
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const QChar c(static_cast<char16_t>(cp));
        const QByteArray bytes = encoder.encode(QStringView(&c, 1));
        const QString back = decoder.decode(bytes);
        g_gbk[cp] = back == QStringView(&c, 1) ? std::uint8_t(bytes.size()) : 0;
    }
    // The codec caches a table of its own; it must agree with the round trip.
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        const bool pua = cp >= 0xE000 && cp <= 0xF8FF;
        const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
        const int expected = (pua || surrogate) ? 0 : g_gbk[cp];
        if (codec().byteLength(cp).value_or(0) != expected) {
            std::fprintf(stderr, "codec: U+%04X measures %d bytes, the round trip %d\n",
                         unsigned(cp), codec().byteLength(cp).value_or(0), expected);
            std::abort();
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString name;
    std::size_t at = 0;
    for (int record = 0; record < 32 && at + 4 <= size; ++record) {
        const std::uint8_t op = data[at];
        const int from = position(data[at + 1], name);
        const std::uint8_t toByte = data[at + 2];
        const std::size_t length = std::min<std::size_t>(data[at + 3], size - at - 4);
        const std::uint8_t *bytes = data + at + 4;
        at += 4 + length;

        QString inserted;
        if (op & 2) {
            for (std::size_t i = 0; i + 1 < length; i += 2)
                inserted += QChar(char16_t(bytes[i] | bytes[i + 1] << 8));
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                const std::uint8_t b = bytes[i];
                inserted += QChar(b < 0x80                 ? char16_t(b)
                                  : b - 0x80u < ProbeCount ? Probes[b - 0x80]
                                                           : char16_t(0x4E00 + b * 37));
            }
        }
        if (op & 4)
            inserted = inserted.repeated(64);

        const Mode mode = !(op & 1)  ? Mode::Edit
                          : (op & 8) ? Mode::ProposalWithCursor
                                     : Mode::Proposal;
        const int to = position(toByte, name);
        const int cursor = int(toByte % (name.size() + inserted.size() + 3)) - 1;
        name = checkedEdit(name, from, to, inserted, mode, cursor).text();
    }
    return 0;
}
