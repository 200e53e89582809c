// SPDX-License-Identifier: MIT
// Applies the edit rule to pastes of 1 MB and 10 MB and reports both times. The worst case
// for the rule is text it must read to the end: characters that may never enter a name.
// Typical text stops at the 16-byte limit and costs next to nothing.
#include "GroupNameField.h"
#include "SystemGbkCodec.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {
double medianMs(const QString &paste, const SystemGbkCodec &gbk, int runs)
{
    const QString name = GroupNameField::placeholder();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        // The paste inserted at the end of the name.
        const NameEdit result = GroupNameField::applyEdit(name, TextEdit{6, 6, paste}, gbk);
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (result.text().size() > 32)
            return -1;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString filled(qsizetype units, const QString &pattern)
{
    QString s;
    s.reserve(units);
    while (s.size() < units)
        s += pattern;
    s.truncate(units);
    return s;
}
} // namespace

int main()
{
    QTextStream out(stdout);
    const SystemGbkCodec gbk;
    // Characters without a GBK form, control characters and an emoji, read to the end.
    const QString hostile = QStringLiteral(u"\u2661\u00F1\t\u0001\U0001F600\u2764");
    const QString typical = QStringLiteral(u"好友分组abc★");
    constexpr qsizetype MB = 1 << 20;
    out << "edit rule, median of 7 runs (ms)\n";
    for (const auto &[label, pattern] :
         {std::pair{"unusable text", hostile}, std::pair{"typical text", typical}}) {
        const double small = medianMs(filled(MB / 2, pattern), gbk, 7); // 1 MB of UTF-16
        const double large = medianMs(filled(10 * MB / 2, pattern), gbk, 7);
        out << qSetFieldWidth(16) << Qt::left << label << qSetFieldWidth(0) << "  1 MB " << small
            << "  10 MB " << large << "  ratio " << (small > 0 ? large / small : 0) << "\n";
    }
    return 0;
}
