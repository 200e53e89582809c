// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

class QClipboard;

// The application's clipboard (QGuiApplication::clipboard()), with failures made visible.
class SystemClipboard final : public Clipboard
{
public:
    SystemClipboard();

    bool clear() override;
    bool setText(const QString &text) override;

private:
    QClipboard *m_clipboard;
};
