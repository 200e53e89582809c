// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

class QLabel;
class QTabBar;
class QTableView;
class SymbolGrid;
class SymbolPalette;

// A popup of the symbols a name can hold, page by page, beside the field it inserts into.
// It stays open for the next symbol; Esc, a click elsewhere or the window losing the focus
// close it.
class SymbolPanel : public QFrame
{
    Q_OBJECT
public:
    SymbolPanel(SymbolPalette &palette, QWidget *parent);

    // Opens beside `field` (global coordinates), never under the pointer, for a name that
    // has `room` bytes left.
    void open(const QRect &field, int room);
    // The bytes left after an insertion.
    void setRoom(int room);

Q_SIGNALS:
    void chosen(char32_t symbol);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showPage(int page);
    void showDetail();
    void choose(const QModelIndex &index);

    SymbolPalette &m_palette;
    SymbolGrid *m_model = nullptr;
    QTabBar *m_pages = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_detail = nullptr;
};
