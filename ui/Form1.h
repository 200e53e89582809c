// SPDX-License-Identifier: MIT
#pragma once

#include "GroupNameSet.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <memory>

class Clipboard;
class GbkCodec;
class QLineEdit;
class Shell;

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
    // patternHost: the publisher's web host, whose /fenzu/ page holds ready-made patterns.
    Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const QString &patternHost,
          QWidget *parent = nullptr);
    ~Form1() override;

    const GroupNameSet &names() const { return m_names; }

    // Asks the desktop to open the pattern page; what the desktop answers is its own affair.
    void OpenPatternPage();

private:
    void copyPattern();
    void showCopyFailed();

    std::unique_ptr<Ui::Form1> m_ui;
    GroupNameSet m_names;
    Clipboard &m_clipboard;
    Shell &m_shell;
    const QUrl m_patternPage;
    std::array<QLineEdit *, GroupNameSet::Count> m_fields{};
};
