// SPDX-License-Identifier: MIT
#pragma once

class QUrl;

// The desktop shell, as far as the tool uses it.
class Shell
{
public:
    virtual ~Shell() = default;

    // Asks the desktop to open the address in the user's default browser. The answer is
    // the desktop's business: whatever fails, it reports itself.
    virtual void open(const QUrl &url) = 0;
};
