// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

#include <QByteArray>
#include <QTimer>

#include <functional>

// One request for another program's text, as a reader carries it out: whom to tell once it
// ends, the silence that ends it, and what has come so far.
class TextTransfer
{
public:
    // An owner that says nothing for this long gets no more waiting.
    static constexpr int SilenceMs = 1000;
    // More than any pattern needs, and a bound on what an owner that never stops can cost.
    static constexpr qsizetype MaxBytes = 64 << 20;

    // `silent` is called when the owner stays silent too long; it ends the transfer.
    explicit TextTransfer(std::function<void()> silent);

    void start(Clipboard::TextHandler done);
    bool active() const { return m_active; }
    // Something came: the silence starts again.
    void heard() { m_silence.start(); }
    // Adds a piece; false once MaxBytes are there, and no more is kept.
    bool append(QByteArrayView piece);
    // Ends it with the text `decode` makes of the data, or without text, and tells whoever
    // asked, unless the request was dropped.
    void finish(Clipboard::Outcome outcome, const std::function<QString(QByteArray)> &decode = {});
    // Whoever asked no longer wants to know.
    void drop() { m_done = nullptr; }

private:
    QTimer m_silence;
    bool m_active = false;
    QByteArray m_data;
    Clipboard::TextHandler m_done;
};
