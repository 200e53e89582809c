// SPDX-License-Identifier: MIT
#include "NameNote.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

NameNote::NameNote(QWidget *window) : QLabel(window)
{
    setObjectName(QStringLiteral("nameNote"));
    // Drawn as a tooltip, in the pale yellow of Qt's own on every system:
    // the window is a fixed picture, and the note must stand out from its white list.
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    QPalette colours = QToolTip::palette();
    colours.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    colours.setColor(QPalette::ToolTipText, Qt::black);
    setPalette(colours);
    ensurePolished();
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setFrameStyle(QFrame::NoFrame);
    setIndent(1);
    setWordWrap(true);
    // Whatever characters it names, they show as they are.
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_showing.setSingleShot(true);
    m_showing.setInterval(ShowMs);
    connect(&m_showing, &QTimer::timeout, this, &NameNote::dismiss);
}

void NameNote::showBeside(const QString &text, int top, int bottom, const QList<QRect> &areas)
{
    if (areas.isEmpty())
        return;
    // Said again, as a held key that is refused says it: the note stays as it is.
    m_stale = false;
    setText(text);
    QRect best;
    int bestDistance = INT_MAX;
    const QRect *tallest = &areas.first();
    for (const QRect &area : areas) {
        if (area.height() > tallest->height())
            tallest = &area;
        const int height = heightForWidth(area.width());
        if (height > area.height())
            continue;
        // Level with the rows where it can be, else as near to them as the area lets it.
        const int y = std::clamp(top, area.top(), area.bottom() + 1 - height);
        const int distance = y + height <= top ? top - (y + height) : std::max(0, y - bottom);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = QRect(area.left(), y, area.width(), height);
        }
    }
    if (best.isNull())
        best = QRect(tallest->topLeft(), QSize(tallest->width(), tallest->height()));
    setGeometry(best);
    raise();
    show();
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
        // Any key but a modifier alone: the note has been read or is in the way, unless the
        // key's own edit says it again before the key is over.
        if ((key < Qt::Key_Shift || key > Qt::Key_ScrollLock) && !m_stale) {
            m_stale = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_stale)
                        dismiss();
                },
                Qt::QueuedConnection);
        }
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
    // Its own plain panel: some styles draw tooltips from the system's theme, whatever the
    // palette says.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.end();
    QLabel::paintEvent(event);
}
