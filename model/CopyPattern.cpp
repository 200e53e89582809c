// SPDX-License-Identifier: MIT
#include "CopyPattern.h"

#include "Clipboard.h"
#include "GroupNameSet.h"

QString JoinedNames(const GroupNameSet &set)
{
    return set.names().join(QStringLiteral("\r\n"));
}

bool CopyPattern(const GroupNameSet &set, Clipboard &clipboard)
{
    if (!clipboard.clear())
        return false;
    return clipboard.setText(JoinedNames(set));
}
