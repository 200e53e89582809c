// SPDX-License-Identifier: MIT
#pragma once

class QString;

// The system clipboard, as far as the tool uses it.
class Clipboard
{
public:
    virtual ~Clipboard() = default;

    // Discards whatever the clipboard holds, in every format. False when that failed.
    [[nodiscard]] virtual bool clear() = 0;

    // Places plain text on the clipboard, for other programs to paste. False when that failed.
    [[nodiscard]] virtual bool setText(const QString &text) = 0;
};
