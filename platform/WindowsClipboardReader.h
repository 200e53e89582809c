// SPDX-License-Identifier: MIT
#pragma once

#include "TextReader.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <memory>

// Reads the Windows clipboard's text on a thread of its own, so that a program that promised
// its text and does not render it never stops this one. The owner renders when the system
// asks it, inside GetClipboardData, which waits on it without a bound; the clipboard is let go
// of after a second all the same, while that wait goes on, so that other programs' copies,
// and this one's, find it free.
class WindowsClipboardReader final : public TextReader
{
public:
    WindowsClipboardReader();
    ~WindowsClipboardReader() override;
    WindowsClipboardReader(const WindowsClipboardReader &) = delete;
    WindowsClipboardReader &operator=(const WindowsClipboardReader &) = delete;

    void request(Clipboard::Source source, Clipboard::TextHandler done) override;
    void cancel() override;

    // Before this program takes the clipboard: lets a read in progress end within its bound
    // (its answer comes later, as ever), then makes sure the reader neither holds the
    // clipboard nor opens it again for that read.
    void finishRead();

private:
    struct Worker;

    // Tells whoever asked, if `request` is still the one asked for.
    void answer(unsigned request, Clipboard::Outcome outcome, const QString &text);
    // The worker drops whatever read it has, and lets go of the clipboard.
    void stopWorker();

    std::shared_ptr<Worker> m_worker;
    unsigned m_request = 0;
    Clipboard::TextHandler m_done;
    QDeadlineTimer m_deadline;
    QTimer m_timeout;
};
