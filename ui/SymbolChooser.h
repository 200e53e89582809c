// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

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
    SymbolChooser(const GbkCodec &gbk, QWidget *window);
    ~SymbolChooser() override;

    // Opens beside `field`, whose name has `room` bytes left at its selection.
    void open(GroupNameEdit *field, int room);
    GroupNameEdit *field() const { return m_field; }
    // The symbol went in: the name has `room` bytes left.
    void inserted(char32_t symbol, int room);

Q_SIGNALS:
    void chosen(char32_t symbol);

private:
    const GbkCodec &m_gbk;
    QWidget *m_window;
    std::unique_ptr<SymbolPalette> m_palette;
    SymbolPanel *m_panel = nullptr; // the window's child, made with the palette
    GroupNameEdit *m_field = nullptr;
};
