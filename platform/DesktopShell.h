// SPDX-License-Identifier: MIT
#pragma once

#include "Shell.h"

// Opens addresses through the desktop's own launcher: xdg-open on Linux, the shell's default
// verb (open, for http) on Windows.
class DesktopShell final : public Shell
{
public:
    void open(const QUrl &url) override;
};
