// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "Clipboard.h"
#include "CopyPattern.h"
#include "GroupNameValidator.h"
#include "Shell.h"
#include "ui_Form1.h"

#include <QMessageBox>

static void initResources()
{
    // The pictures live in the ui library, which the linker would otherwise leave behind.
    Q_INIT_RESOURCE(assets);
}

Form1::Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const QString &patternHost,
             QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_names(gbk), m_clipboard(clipboard),
      m_shell(shell), m_patternPage(QStringLiteral("http://%1/fenzu/").arg(patternHost))
{
    initResources();
    m_ui->setupUi(this);
    setWindowTitle(windowTitle() + QStringLiteral("  BY ") + patternHost.toUpper());
    // Minimize and close boxes, no maximize box: the window has one size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_fields = {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text4,  m_ui->Text5, m_ui->Text6,
                m_ui->Text7, m_ui->Text8, m_ui->Text9, m_ui->Text10, m_ui->Text11};
    for (int n = 1; n <= GroupNameSet::Count; ++n) {
        QLineEdit *field = m_fields[n - 1];
        field->setText(m_names.name(n));
        field->setValidator(new GroupNameValidator(m_names, n, field));
        // The validator puts typed text through the rule. Assistive tools set the text
        // without keystrokes and past the validator, so every change is taken, and a
        // field that shows more than the rule keeps is brought back to the name.
        connect(field, &QLineEdit::textChanged, this, [this, n, field](const QString &text) {
            if (text == m_names.name(n))
                return;
            m_names.edit(n, 0, int(m_names.name(n).size()), text);
            if (field->text() != m_names.name(n))
                field->setText(m_names.name(n));
        });
    }
    connect(&m_names, &GroupNameSet::nameChanged, this, [this](int n, const QString &text) {
        QLineEdit *field = m_fields[n - 1];
        if (field->text() != text)
            field->setText(text);
    });

    connect(m_ui->Image1, &PictureButton::clicked, &m_names, &GroupNameSet::ClearPattern);
    connect(m_ui->Image2, &PictureButton::clicked, this, &Form1::copyPattern);

    // The underline is drawn over the strip's words; clicks on it belong to the strip.
    m_ui->Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_ui->Label2, &LinkLabel::clicked, this, &Form1::OpenPatternPage);
}

void Form1::OpenPatternPage()
{
    m_shell.open(m_patternPage);
}

Form1::~Form1()
{
    // QWidget's destructor closes a shown window, and the focused field validates on losing
    // focus: by then m_names is gone.
    for (QLineEdit *field : m_fields)
        field->setValidator(nullptr);
}

void Form1::copyPattern()
{
    if (!CopyPattern(m_names, m_clipboard))
        showCopyFailed();
}

void Form1::showCopyFailed()
{
    // The names stay as they are: the user can simply try again.
    auto *box =
        new QMessageBox(QMessageBox::Warning, windowTitle(),
                        tr("分组名称没有复制到剪贴板，剪贴板可能正被其他程序占用。请稍后再试。"),
                        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("copyFailedMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
