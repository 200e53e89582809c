// SPDX-License-Identifier: MIT
#include "InputHold.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
} // namespace

InputHold::InputHold(QWidget *window) : QObject(window), m_window(window) {}

InputHold::~InputHold()
{
    if (m_holding)
        qApp->removeEventFilter(this);
}

void InputHold::hold()
{
    if (std::exchange(m_holding, true))
        return;
    qApp->installEventFilter(this);
}

void InputHold::release()
{
    if (!std::exchange(m_holding, false))
        return;
    qApp->removeEventFilter(this);
    // What a held event does may hold the window again: what is left waits once more.
    std::vector<Held> held = std::exchange(m_held, {});
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (m_holding) {
            m_held.insert(m_held.end(), std::make_move_iterator(it),
                          std::make_move_iterator(held.end()));
            return;
        }
        QObject *receiver = it->receiver;
        if (!receiver)
            continue;
        auto *widget = qobject_cast<QWidget *>(receiver);
        if (widget && it->event->type() == QEvent::KeyPress) {
            deliverKey(widget, it->event.get());
            continue;
        }
        // A press hands on the focus as the window system's would; a sent event does not.
        if (widget && it->event->type() == QEvent::MouseButtonPress &&
            (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus)
            widget->setFocus(Qt::MouseFocusReason);
        QCoreApplication::sendEvent(receiver, it->event.get());
    }
}

void InputHold::deliverKey(QWidget *receiver, QEvent *event)
{
    auto *key = static_cast<QKeyEvent *>(event);
    // The window's shortcuts take a key that the widget does not claim, as they would have
    // when it came.
    QKeyEvent override(QEvent::ShortcutOverride, key->key(), key->modifiers(), key->text(),
                       key->isAutoRepeat(), ushort(key->count()));
    override.ignore();
    QCoreApplication::sendEvent(receiver, &override);
    if (!override.isAccepted()) {
        const QKeySequence sequence(key->keyCombination());
        for (QAction *action : m_window->actions()) {
            if (action->isEnabled() && action->shortcuts().contains(sequence)) {
                action->trigger();
                return;
            }
        }
    }
    QCoreApplication::sendEvent(receiver, event);
}

bool InputHold::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed, so that no shortcut runs now: it runs when the key is handed on.
        event->accept();
        return true;
    }
    if (!isUserInput(event->type()))
        return false;
    m_held.push_back({widget, std::unique_ptr<QEvent>(event->clone())});
    return true;
}
