// SPDX-License-Identifier: MIT
#include "DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShell::open(const QUrl &url)
{
    // The launcher runs detached; a missing browser is the desktop's to report.
    QDesktopServices::openUrl(url);
}
