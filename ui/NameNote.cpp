// SPDX-License-Identifier: MIT
#include "NameNote.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>

NameNote::NameNote(QWidget *field) : QLabel(field, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
{
    setObjectName(QStringLiteral("nameNote"));
    // Drawn as the style draws its tooltips.
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    ensurePolished();
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setFrameStyle(QFrame::NoFrame);
    setIndent(1);
    // Whatever characters it names, they show as they are.
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_showing.setSingleShot(true);
    m_showing.setInterval(ShowMs);
    connect(&m_showing, &QTimer::timeout, this, &NameNote::dismiss);
}

void NameNote::showAt(const QString &text, QPoint at)
{
    setText(text);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    raise();
    // The key or click that made the edit is over by the time another one comes.
    qApp->installEventFilter(this);
    m_showing.start();
}

void NameNote::dismiss()
{
    m_showing.stop();
    qApp->removeEventFilter(this);
    if (isVisible()) {
        hide();
        Q_EMIT dismissed();
    }
}

bool NameNote::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Any key but a modifier alone: the note has been read or is in the way.
        if (key < Qt::Key_Shift || key > Qt::Key_ScrollLock)
            dismiss();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
        dismiss();
        break;
    default:
        break;
    }
    return false;
}

void NameNote::paintEvent(QPaintEvent *event)
{
    QStylePainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    painter.drawPrimitive(QStyle::PE_PanelTipLabel, option);
    painter.end();
    QLabel::paintEvent(event);
}
