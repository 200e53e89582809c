// SPDX-License-Identifier: MIT
#include <QTextStream>

int main()
{
    QTextStream(stderr) << "group-pattern-designer: the designer window is not built yet.\n";
    return 0;
}
