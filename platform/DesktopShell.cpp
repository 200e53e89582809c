// SPDX-License-Identifier: MIT
#include "DesktopShell.h"

#include "SessionBus.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShell::open(const QUrl &url)
{
    // The launcher runs detached; a missing browser is the desktop's to report.
    withSystemEnvironment([&url] { QDesktopServices::openUrl(url); });
}
