// SPDX-License-Identifier: MIT
#pragma once

#include "NameEditor.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <memory>

class GbkCodec;
class GroupNameEdit;
class InputHold;
class NameNote;
class QAction;
class RoomCount;
class Shell;
class SymbolChooser;
class TextWidths;
class WindowFonts;

namespace Ui {
class Form1;
}

// The tool's one window: the friend-list picture with the eleven name fields over its
// group rows, and the picture buttons that clear and copy the names. Its design is the
// .ui file; this class wires the fields, the buttons and the keys to the names' editor, and
// shows what each change did.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // A copy clicked while a paste is on its way waits this long at most for it.
    static constexpr int PasteWaitMs = NameEditor::PasteWaitMs;

    // patternHost: the publisher's web host, whose /fenzu/ page holds ready-made patterns.
    Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const WindowFonts &fonts,
          const TextWidths &widths, const QString &patternHost, QWidget *parent = nullptr);
    ~Form1() override;

    const GroupNameSet &names() const { return m_editor.names(); }

    // Asks the desktop to open the pattern page; what the desktop answers is its own affair.
    void OpenPatternPage();

private:
    // Shows what a change did: the names, the cursor, the note, what can be undone now.
    void showChange(const NameChange &change);
    // Says at the note, and to screen readers at the field, why an edit kept less than was
    // put in; the note goes when the edit kept it all.
    void explain(const NameChange &change);
    // Tells the user, without stopping the window, that a copy or a paste did not happen.
    void showMessage(const QString &name, const QString &text);
    QAction *addWindowAction(const QString &text, const QList<QKeySequence> &keys);
    // The field with the keyboard, or 0.
    int focusedName() const;
    void openSymbols(int n);
    // The bytes of the name whose field has the keyboard, while the note does not speak.
    void showRoom();
    // The strip beside the list, right of every field, where the note and the count go.
    int besideList() const;

    std::unique_ptr<Ui::Form1> m_ui;
    const GbkCodec &m_gbk;
    NameEditor m_editor;
    Shell &m_shell;
    const QUrl m_patternPage;
    std::array<GroupNameEdit *, GroupNameSet::Count> m_fields{};
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    NameNote *m_note = nullptr;
    int m_noteField = 0; // whose accessible description the note is
    InputHold *m_hold = nullptr;
    SymbolChooser *m_symbols = nullptr;
    RoomCount *m_room = nullptr;
    int m_roomField = 0; // whose accessible description the count is
};
