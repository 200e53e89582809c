// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

#include <QString>
#include <QStringView>

class GbkCodec;

// What an editor did to a name: it replaced [from, to) with `inserted`, a view of text the
// editor holds while the rule reads it.
struct TextEdit
{
    int from = 0;
    int to = 0;
    QStringView inserted;
};

// Why the rule kept less of an insertion than was inserted.
struct Shortfall
{
    // How many characters without a GBK form are named; more are only counted.
    static constexpr int Named = 8;

    bool full = false;  // a character no longer fitted in the name's 16 bytes
    QString noForm;     // characters without a GBK form that were left out, each once
    int noFormMore = 0; // and how many others besides

    bool any() const { return full || !noForm.isEmpty(); }
    // Adds what another edit left out, as one paste of several lines does.
    void add(const Shortfall &other);
    // Notes a character left out for having no GBK form.
    void leaveOut(char32_t codePoint);
};

// What the rule made of a TextEdit. Only the rule makes one, so a name may take it as it is.
class NameEdit
{
public:
    // The name after the edit.
    const QString &text() const { return m_text; }
    // The name the edit was ruled against.
    const QString &before() const { return m_before; }
    // The range of before() that was replaced, and how many characters of text() at from()
    // came from the insertion.
    int from() const { return m_from; }
    int to() const { return m_to; }
    int kept() const { return m_kept; }
    // Where the cursor lands: after what was kept of the inserted text.
    int cursor() const { return m_from + m_kept; }
    bool changed() const { return m_text != m_before; }
    // GBK bytes of text().
    int bytes() const { return m_bytes; }
    // Why less was kept than was inserted, if it was.
    const Shortfall &shortfall() const { return m_shortfall; }

private:
    friend class GroupNameField;
    NameEdit(QString before, QString text, int from, int to, int kept, int bytes,
             Shortfall shortfall = {})
        : m_before(std::move(before)), m_text(std::move(text)), m_from(from), m_to(to),
          m_kept(kept), m_bytes(bytes), m_shortfall(std::move(shortfall))
    {
    }

    QString m_before;
    QString m_text;
    int m_from = 0;
    int m_to = 0;
    int m_kept = 0;
    int m_bytes = 0;
    Shortfall m_shortfall;
};

// One group name: a single line of at most 16 bytes of GBK, made only of characters
// that GBK can carry. Every way a name changes goes through the rule, so that holds.
class GroupNameField
{
public:
    static constexpr int MaxBytes = 16;
    static QString placeholder();

    GroupNameField() : m_text(placeholder()) {}

    const QString &text() const { return m_text; }

    // Takes an edit the rule made of this name's text; false, and nothing changes, when it
    // was ruled against another text.
    bool take(const NameEdit &edit);
    void clear() { m_text.clear(); }

    // The edit rule. The inserted text is brought to Unicode's composed form (NFC), so that a
    // letter and its combining mark count as the one letter GBK has; what precedes its first
    // line break is considered; control characters and characters without a GBK form are
    // left out; then the longest prefix that fits in the bytes the rest of the name leaves
    // is kept. An edit that would keep nothing of a non-empty insertion leaves the name as
    // it was.
    static NameEdit applyEdit(const QString &name, const TextEdit &edit, const GbkCodec &gbk);

    // The edit a line editor made, known from its selection before the change ([selectionFrom,
    // selectionTo), empty at the cursor) and what it shows after it: its text and its cursor,
    // which stands right after the inserted text. A proposal that no edit of that selection
    // can give (a tool that set the whole text) is the replacement of the whole name.
    static TextEdit editOf(const QString &name, int selectionFrom, int selectionTo,
                           const QString &proposed, int cursor);

    // Bytes the text takes in GBK, or -1 when a character of it has no GBK form.
    static int byteLength(QStringView text, const GbkCodec &gbk);
    // Bytes the character takes in a name, as the rule measures it; nothing when the rule
    // leaves it out.
    static std::optional<int> characterBytes(char32_t codePoint, const GbkCodec &gbk);

    // True for CR, LF, U+2028 and U+2029.
    static bool isLineBreak(char32_t codePoint);
    static bool hasLineBreak(QStringView text);

private:
    QString m_text;
};
