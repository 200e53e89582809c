// SPDX-License-Identifier: MIT
#include "SymbolChooser.h"

#include "GroupNameEdit.h"
#include "SymbolPalette.h"
#include "SymbolPanel.h"

SymbolChooser::SymbolChooser(const GbkCodec &gbk, Clipboard &clipboard, QWidget *window)
    : QObject(window), m_gbk(gbk), m_clipboard(clipboard), m_window(window)
{
}

SymbolChooser::~SymbolChooser()
{
    // The panel reads the palette, which goes first.
    delete m_panel;
}

void SymbolChooser::open(GroupNameEdit *field, int room)
{
    if (!m_panel) {
        m_palette = std::make_unique<SymbolPalette>(m_gbk);
        m_panel = new SymbolPanel(*m_palette, m_clipboard, m_window);
        connect(m_panel, &SymbolPanel::chosen, this, &SymbolChooser::chosen);
        // Back to the field, its cursor after the last symbol.
        connect(m_panel, &SymbolPanel::closed, this, [this] {
            if (m_field)
                m_field->setFocus(Qt::PopupFocusReason);
        });
        // Another field clicked while it is open: the panel serves that one.
        connect(m_panel, &SymbolPanel::fieldFocused, this, [this](QWidget *now) {
            if (auto *field = qobject_cast<GroupNameEdit *>(now)) {
                m_field = field;
                Q_EMIT served(field);
            }
        });
    }
    m_field = field;
    m_panel->open(QRect(field->mapToGlobal(QPoint()), field->size()), room);
}

void SymbolChooser::setRoom(int room)
{
    m_panel->setRoom(room);
}
