// SPDX-License-Identifier: MIT
#include "SymbolChooser.h"

#include "GroupNameEdit.h"
#include "SymbolPalette.h"
#include "SymbolPanel.h"

SymbolChooser::SymbolChooser(const GbkCodec &gbk, QWidget *window)
    : QObject(window), m_gbk(gbk), m_window(window)
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
        m_panel = new SymbolPanel(*m_palette, m_window);
        connect(m_panel, &SymbolPanel::chosen, this, &SymbolChooser::chosen);
        // Back to the field, its cursor after the last symbol.
        connect(m_panel, &SymbolPanel::closed, this, [this] {
            if (m_field)
                m_field->setFocus(Qt::PopupFocusReason);
        });
    }
    m_field = field;
    m_panel->open(QRect(field->mapToGlobal(QPoint()), field->size()), room);
}

void SymbolChooser::inserted(char32_t symbol, int room)
{
    m_palette->use(symbol);
    m_panel->setRoom(room);
}
