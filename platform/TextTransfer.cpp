// SPDX-License-Identifier: MIT
#include "TextTransfer.h"

#include <algorithm>

TextTransfer::TextTransfer(std::function<void()> silent)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(SilenceMs);
    QObject::connect(&m_silence, &QTimer::timeout, std::move(silent));
}

void TextTransfer::start(Clipboard::TextHandler done)
{
    m_done = std::move(done);
    m_data.clear();
    m_active = true;
    m_silence.start();
}

bool TextTransfer::append(QByteArrayView piece)
{
    m_data.append(piece.first(std::min(piece.size(), MaxBytes - m_data.size())));
    return m_data.size() < MaxBytes;
}

void TextTransfer::finish(Clipboard::Outcome outcome,
                          const std::function<QString(QByteArray)> &decode)
{
    m_silence.stop();
    m_active = false;
    QByteArray data = std::exchange(m_data, QByteArray());
    // Text ends at the end of the data; a NUL after it is no part of it.
    if (data.endsWith('\0'))
        data.chop(1);
    const QString text = outcome == Clipboard::Outcome::Text && decode ? decode(data) : QString();
    if (outcome == Clipboard::Outcome::Text && text.isEmpty())
        outcome = Clipboard::Outcome::NoText;
    if (Clipboard::TextHandler done = std::exchange(m_done, nullptr))
        done(outcome, text);
}
