// SPDX-License-Identifier: MIT
#pragma once

#include "Shortfall.h"

#include <QString>

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
