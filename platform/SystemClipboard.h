// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

#include <memory>

class QClipboard;
class TextReader;

// The application's clipboard (QGuiApplication::clipboard()). Whether a change took is asked
// of the system itself: the X server's selection owner, the Windows clipboard, the Wayland
// compositor's answer to the offer.
class SystemClipboard final : public Clipboard
{
public:
    SystemClipboard();
    ~SystemClipboard() override;

    bool clear() override;
    bool setText(const QString &text) override;
    void requestText(Source source, TextHandler done) override;
    void cancelRequest() override;

private:
    enum class System
    {
        X11,
        Wayland,
        Windows,
        Other
    };

    QClipboard *m_clipboard;
    System m_system;
    // Where Qt's own reading stops the program while an owner takes its time (X11,
    // Wayland), a reader that does not; made at the first paste.
    std::unique_ptr<TextReader> m_reader;
    bool m_readerTried = false;
    std::unique_ptr<TextReader> makeReader() const;
    // Before the clipboard is taken: where a read holds it, lets that read end first.
    void finishRead();
};
