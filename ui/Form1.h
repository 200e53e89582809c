// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"
#include "GroupNameSet.h"
#include "NameHistory.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <memory>

class GbkCodec;
class GroupNameEdit;
class NameNote;
class QAction;
class QEventLoop;
class Shell;
class SymbolPalette;
class SymbolPanel;

namespace Ui {
class Form1;
}

// The tool's one window: the friend-list picture with the eleven name fields over its
// group rows, and the picture buttons that clear and copy the names. Its design is the
// .ui file; this class wires the fields to the names and the clicks to the actions.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // A copy clicked while a paste is on its way waits this long at most for it.
    static constexpr int PasteWaitMs = 1000;

    // patternHost: the publisher's web host, whose /fenzu/ page holds ready-made patterns.
    Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const QString &patternHost,
          QWidget *parent = nullptr);
    ~Form1() override;

    const GroupNameSet &names() const { return m_names; }

    // Asks the desktop to open the pattern page; what the desktop answers is its own affair.
    void OpenPatternPage();

private:
    // The one place where the user's edit of a name is made, whatever its source (keys, an
    // input method, a paste, a drop, an assistive tool): the rule once, one step of the
    // history, the set, the field showing the outcome, and the note when less was kept.
    void edit(int n, const TextEdit &edit, bool keystroke);
    // Says at the note, and to screen readers at field n, why an edit kept less than was
    // put in; the note goes when the edit kept it all.
    void explain(int n, const PasteEdit &paste);
    void copyPattern();
    // Tells the user, without stopping the window, that a copy or a paste did not happen.
    void showMessage(const QString &name, const QString &text);
    // Asks for the text to paste into [from, to) of name n; it goes in when it comes, unless
    // the names changed in the meantime.
    void requestPaste(int n, Clipboard::Source source, int from, int to);
    bool pastePending() const;
    void clearPattern();
    // Shows where an undone or redone step changed a name, and what can be undone now.
    void showChange(std::optional<NameHistory::Place> place);
    void updateHistoryActions();
    // The symbols beside field n, for its cursor or selection; measured at the first opening.
    void openSymbols(int n);
    void insertSymbol(char32_t symbol);
    // The edit that puts `text` in place of field n's selection, or at its cursor.
    TextEdit atSelection(int n, QStringView text) const;
    // Bytes name n has left once its field's selection is replaced.
    int roomFor(int n) const;

    std::unique_ptr<Ui::Form1> m_ui;
    const GbkCodec &m_gbk;
    GroupNameSet m_names;
    NameHistory m_history{m_names};
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    Clipboard &m_clipboard;
    Shell &m_shell;
    const QUrl m_patternPage;
    std::array<GroupNameEdit *, GroupNameSet::Count> m_fields{};
    NameNote *m_note = nullptr;
    int m_noteField = 0;    // whose accessible description the note is
    bool m_editing = false; // while edit() changes the names: the note is its to say
    unsigned m_changes = 0; // of the names, so that a paste knows whether it came too late
    bool m_pasting = false; // a paste is on its way
    unsigned m_pasteChanges = 0;
    QEventLoop *m_copyWaiting = nullptr; // a copy waiting for the paste
    QAction *m_insertSymbol = nullptr;
    std::unique_ptr<SymbolPalette> m_symbols;
    SymbolPanel *m_symbolPanel = nullptr;
    int m_symbolField = 0; // the field the symbols go into
};
