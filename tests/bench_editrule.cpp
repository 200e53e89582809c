// SPDX-License-Identifier: MIT
// Applies the edit rule to pastes of 1 MB and 10 MB and reports both times. The worst case
// for the rule is text it must read to the end: characters that may never enter a name.
// Typical text stops at the 16-byte limit and costs next to nothing. Then the whole-list
// actions on eleven names, against the 16 ms of one frame.
#include "GroupNameField.h"
#include "NameDecoration.h"
#include "SystemGbkCodec.h"
#include "TextWidths.h"

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

// Tahoma-like widths; the cost does not hang on their values.
class Widths final : public TextWidths
{
public:
    double advance(char32_t cp) const override { return cp < 0x80 ? 6.5 : 12; }
};

template <typename F> double actionMedianMs(F action, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (action().names.size() > 11)
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
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
    // Eleven names, every one of them taking part.
    const QStringList names{u"╔══════╗"_qs,  u"║家人║"_qs,   u"║同学 ║"_qs,  u"║老同事　║"_qs,
                            u"║Amy Lee║"_qs, u"║网友║"_qs,   u"║客户们║"_qs, u"║ā ǎ║"_qs,
                            u"║驴友║"_qs,    u"║黑名单║"_qs, u"╚══╝"_qs};
    const Widths widths;
    out << "whole-list actions on eleven names, median of 101 runs (ms; one frame is 16)\n";
    out << "装饰全部组 "
        << actionMedianMs([&] { return NameDecoration::decorateAll(names, 2, gbk); }, 101)
        << "  对齐右边 "
        << actionMedianMs([&] { return NameDecoration::alignRight(names, widths, gbk); }, 101)
        << "\n";
    return 0;
}
