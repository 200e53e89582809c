// SPDX-License-Identifier: MIT
#include "SymbolPlacement.h"

#include <algorithm>
#include <array>

namespace {
// Moved inside the screen, as far as it is smaller than it.
QRect within(QRect place, const QRect &screen)
{
    place.moveLeft(
        std::max(screen.left(), std::min(place.left(), screen.right() - place.width() + 1)));
    place.moveTop(
        std::max(screen.top(), std::min(place.top(), screen.bottom() - place.height() + 1)));
    return place;
}
} // namespace

QRect SymbolPlacement::place() const
{
    // Level with the field; near the screen's top or bottom, as near to it as fits.
    const int level = belowRow ? field.bottom() + 1 + Gap : field.top();
    const QRect right = within(QRect(QPoint(window.right() + 1 + Gap, level), panel), screen);
    if (right.left() > window.right())
        return right;
    const QRect left =
        within(QRect(QPoint(window.left() - Gap - panel.width(), level), panel), screen);
    if (left.right() < window.left())
        return left;

    // Over the window, then: its field's row stays free, and so do the note and the pointer.
    QRect ownRow = field;
    for (const QRect &row : rows)
        if (row.intersects(field))
            ownRow |= row;
    QList<int> xs{screen.left(), screen.right() - panel.width() + 1, window.left(),
                  window.right() - panel.width() + 1};
    QList<int> ys{screen.top(), screen.bottom() - panel.height() + 1, ownRow.bottom() + 1 + Gap,
                  ownRow.top() - Gap - panel.height()};
    for (const QRect &row : rows) {
        ys.append(row.bottom() + 1);
        ys.append(row.top() - panel.height());
    }
    // Just clear of the row's end, the note and the pointer.
    xs += {ownRow.right() + 1 + Gap, note.right() + 1, note.left() - panel.width(), pointer.x() + 1,
           pointer.x() - panel.width()};
    ys += {note.bottom() + 1, note.top() - panel.height(), pointer.y() + 1,
           pointer.y() - panel.height()};
    // Of all the places tried, the one that keeps most free, in this order: the field's row,
    // the pointer, the note, the other rows; of equals, the nearest to level with the field.
    // A screen too small to keep the first three free still gets the least bad place.
    QRect best;
    std::array<int, 5> bestCost{};
    for (const int x : xs) {
        for (const int y : ys) {
            const QRect candidate = within(QRect(QPoint(x, y), panel), screen);
            const std::array<int, 5> cost{
                candidate.intersects(ownRow), candidate.contains(pointer),
                candidate.intersects(note),
                int(std::count_if(rows.begin(), rows.end(),
                                  [&](const QRect &row) { return candidate.intersects(row); })),
                std::abs(candidate.center().y() - field.center().y())};
            if (best.isNull() || cost < bestCost) {
                best = candidate;
                bestCost = cost;
            }
        }
    }
    return best;
}
