// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"

#include <QFrame>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableView;
class SymbolGrid;
class SymbolPalette;

// The symbols a name can hold, page by page or found by name, in a window of their own
// beside the tool's window. Where the platform allows (X11, Windows) it takes no grab: a
// click on another field goes to that field, which the panel then serves, and the window's
// close box closes the window. It stays open for the next symbol; Esc (after emptying the
// search) or the tool losing the focus closes it.
class SymbolPanel : public QFrame
{
    Q_OBJECT
public:
    SymbolPanel(SymbolPalette &palette, Clipboard &clipboard, QWidget *parent);
    ~SymbolPanel() override;

    // Opens beside the window, level with `field` (global coordinates), for a name that
    // has `room` bytes left; already open, it stays where it is and serves that field.
    void open(const QRect &field, int room);
    // The bytes left after an insertion.
    void setRoom(int room);

Q_SIGNALS:
    void chosen(char32_t symbol);
    void closed();
    // A field of the window took the keyboard while the panel was open.
    void fieldFocused(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static Qt::WindowFlags windowType();
    void showPage(int page);
    void search(const QString &query);
    void showDetail();
    void choose(const QModelIndex &index);
    // Keys the panel handles wherever its keyboard is: true when taken.
    bool panelKey(QKeyEvent *key);
    QRect placeFor(const QRect &field) const;
    // A paste into the search, which waits for nobody: the text goes in when it comes, and
    // the keys pressed meanwhile after it, as they were typed.
    void pasteIntoSearch(Clipboard::Source source);
    void pasteEnded();

    SymbolPalette &m_palette;
    Clipboard &m_clipboard;
    QTimer m_pasteWait; // runs while a paste into the search waits for its text
    int m_pasteRequest = 0;
    std::deque<std::pair<QPointer<QObject>, std::unique_ptr<QKeyEvent>>> m_heldKeys;
    SymbolGrid *m_model = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_pages = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_detail = nullptr;
};
