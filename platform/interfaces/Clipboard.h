// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// The system clipboard, as far as the tool uses it.
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    // Discards whatever the clipboard holds, in every format. False when that failed.
    [[nodiscard]] virtual bool clear() = 0;

    // Places plain text on the clipboard, for other programs to paste. False when that failed.
    [[nodiscard]] virtual bool setText(const QString &text) = 0;

    // Where pasted text comes from: the clipboard, or the text selected last (pasted with
    // a middle click where the system has such a selection).
    enum class Source
    {
        Clipboard,
        Selection
    };
    // How asking for text ended: with text, with none to be had (nothing offered, or no
    // text among what is), or with no answer from the program that holds it.
    enum class Outcome
    {
        Text,
        NoText,
        NoAnswer
    };
    using TextHandler = std::function<void(Outcome outcome, const QString &text)>;

    // Asks for the text another program offers. `done` is called once, at once or later,
    // unless cancelRequest() comes first; a new request cancels the one before it.
    virtual void requestText(Source source, TextHandler done) = 0;
    virtual void cancelRequest() = 0;
};
