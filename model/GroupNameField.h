// SPDX-License-Identifier: MIT
#pragma once

#include "NameEdit.h"
#include "TextEdit.h"

#include <QString>
#include <QStringView>

#include <optional>

class GbkCodec;

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
    // Puts back a text this name held before, as a history recorded it: the rule made it
    // then, so it is not ruled again.
    void restore(const QString &recorded) { m_text = recorded; }

    // The edit rule. The inserted text is brought to Unicode's composed form (NFC), so that a
    // letter and its combining mark count as the one letter GBK has; what precedes its first
    // line break is considered; control characters and characters without a GBK form are
    // left out; then the longest prefix that fits in the bytes the rest of the name leaves
    // is kept. An edit that would keep nothing of a non-empty insertion leaves the name as
    // it was.
    static NameEdit applyEdit(const QString &name, const TextEdit &edit, const GbkCodec &gbk);

    // Bytes the text takes in GBK, or -1 when a character of it has no GBK form.
    static int byteLength(QStringView text, const GbkCodec &gbk);
    // Bytes the character takes in a name, as the rule measures it; nothing when the rule
    // leaves it out.
    static std::optional<int> characterBytes(char32_t codePoint, const GbkCodec &gbk);

    // True for CR, LF, U+2028 and U+2029.
    static bool isLineBreak(char32_t codePoint);

private:
    QString m_text;
};
