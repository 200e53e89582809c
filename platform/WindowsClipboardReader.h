// SPDX-License-Identifier: MIT
#pragma once

#include "TextReader.h"

#include <QTimer>

#include <memory>

// Reads the Windows clipboard's text on a thread of its own, so that a program that promised
// its text and does not render it never stops this one. The owner is asked to render with a
// bound of a second, and the clipboard is never held open longer than that: a copy made
// meanwhile finds it free.
class WindowsClipboardReader final : public TextReader
{
public:
    WindowsClipboardReader();
    ~WindowsClipboardReader() override;
    WindowsClipboardReader(const WindowsClipboardReader &) = delete;
    WindowsClipboardReader &operator=(const WindowsClipboardReader &) = delete;

    void request(Clipboard::Source source, Clipboard::TextHandler done) override;
    void cancel() override;

private:
    struct Shared;
    // Tells whoever asked, if `request` is still the one asked for.
    void answer(unsigned request, Clipboard::Outcome outcome, const QString &text);

    std::shared_ptr<Shared> m_shared;
    unsigned m_request = 0;
    Clipboard::TextHandler m_done;
    QTimer m_timeout;
};
