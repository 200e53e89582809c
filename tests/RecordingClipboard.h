// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

#include <QString>
#include <QStringList>

// Records what it is asked, in order; can be told to fail at either step.
class RecordingClipboard final : public Clipboard
{
public:
    bool clear() override
    {
        m_calls.append(QStringLiteral("clear"));
        if (m_failClear)
            return false;
        m_text.clear();
        return true;
    }

    bool setText(const QString &text) override
    {
        m_calls.append(QStringLiteral("setText"));
        if (m_failSet)
            return false;
        m_text = text;
        return true;
    }

    QStringList m_calls;
    QString m_text = QStringLiteral("what another program left");
    bool m_failClear = false;
    bool m_failSet = false;
};
