// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

#include <QString>
#include <QStringList>

// Records what it is asked, in order; can be told to fail at either step. Offers text to
// paste, at once or when the test says (answer()).
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

    void requestText(Source source, TextHandler done) override
    {
        m_calls.append(source == Source::Selection ? QStringLiteral("requestSelection")
                                                   : QStringLiteral("requestText"));
        m_pending = std::move(done);
        if (!m_answerLater)
            answer(Outcome::Text, source == Source::Selection ? m_selection : m_offered);
    }

    void cancelRequest() override { m_pending = nullptr; }

    // Hands the text asked for to the one waiting for it, if any.
    void answer(Outcome outcome, const QString &text)
    {
        if (TextHandler done = std::exchange(m_pending, nullptr))
            done(text.isEmpty() && outcome == Outcome::Text ? Outcome::NoText : outcome, text);
    }

    QStringList m_calls;
    QString m_text = QStringLiteral("what another program left");
    QString m_offered;   // on the clipboard, to paste
    QString m_selection; // the text selected last, for a middle click
    bool m_answerLater = false;
    TextHandler m_pending;
    bool m_failClear = false;
    bool m_failSet = false;
};
