// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class Clipboard;
class GbkCodec;
class GroupNameEdit;
class QWidget;
class SymbolPalette;
class SymbolPanel;

// The symbols for one field at a time: the palette, measured at the first opening, and the
// panel that shows it beside the field.
class SymbolChooser : public QObject
{
    Q_OBJECT

public:
    SymbolChooser(const GbkCodec &gbk, Clipboard &clipboard, QWidget *window);
    ~SymbolChooser() override;

    // Opens beside `field`, whose name has `room` bytes left at its selection.
    void open(GroupNameEdit *field, int room);
    GroupNameEdit *field() const { return m_field; }
    // The name of the field served has `room` bytes left at its selection.
    void setRoom(int room);

Q_SIGNALS:
    void chosen(char32_t symbol);
    // The panel serves another field, which took the keyboard while it was open.
    void served(GroupNameEdit *field);

private:
    const GbkCodec &m_gbk;
    Clipboard &m_clipboard; // for pastes into the search
    QWidget *m_window;
    std::unique_ptr<SymbolPalette> m_palette;
    SymbolPanel *m_panel = nullptr; // the window's child, made with the palette
    GroupNameEdit *m_field = nullptr;
};
