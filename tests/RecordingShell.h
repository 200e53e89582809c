// SPDX-License-Identifier: MIT
#pragma once

#include "Shell.h"

#include <QList>
#include <QUrl>

// Records every address it is asked to open.
class RecordingShell final : public Shell
{
public:
    void open(const QUrl &url) override { m_opened.append(url); }

    QList<QUrl> m_opened;
};
