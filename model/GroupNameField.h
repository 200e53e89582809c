// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

class GbkCodec;

// The outcome of one edit of a name.
struct NameEdit
{
    QString text;   // the name after the edit
    int cursor = 0; // where the cursor lands: after what was kept of the inserted text
    bool changed = false;
};

// Where an editor's proposal differs from the name it started from: it replaced
// [from, to) of the name with `inserted`, a view into the proposal.
struct Insertion
{
    int from = 0;
    int to = 0;
    QStringView inserted;
};

// One group name: a single line of at most 16 bytes of GBK, made only of characters
// that GBK can carry. Every way a name changes goes through edit(), so that holds.
class GroupNameField
{
public:
    static constexpr int MaxBytes = 16;
    static QString placeholder();

    GroupNameField() : m_text(placeholder()) {}

    const QString &text() const { return m_text; }

    // Changes the name through the rule below and keeps the result.
    NameEdit edit(int from, int to, QStringView inserted, const GbkCodec &gbk);
    void clear() { m_text.clear(); }

    // The edit rule. What precedes the first line break of `inserted` is considered;
    // control characters and characters without a GBK form are left out; then the
    // longest prefix that fits in the bytes the rest of the name leaves is kept. An edit
    // that would keep nothing of a non-empty insertion leaves the name as it was.
    static NameEdit applyEdit(const QString &name, int from, int to, QStringView inserted,
                              const GbkCodec &gbk);

    // An editor reports only the text it proposes and its cursor, which stands right after
    // the inserted text; the text after the cursor is what it kept of the old end.
    // Recovers the edit from that.
    static Insertion insertionOf(const QString &name, const QString &proposed, int cursor);

    // Recovers the edit as insertionOf() does and applies the rule.
    static NameEdit applyProposal(const QString &name, const QString &proposed, int cursor,
                                  const GbkCodec &gbk);

    // Bytes the text takes in GBK, or -1 when a character of it has no GBK form.
    static int byteLength(QStringView text, const GbkCodec &gbk);

    // True for CR, LF, U+2028 and U+2029.
    static bool isLineBreak(char32_t codePoint);
    static bool hasLineBreak(QStringView text);

private:
    QString m_text;
};
