// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QEvent;
class QWidget;

// Holds back the keys and clicks meant for a window while it is held, and hands them on in
// their order when it is let go: what the user did after asking for something that has to
// wait comes after it, as the user did it, without a nested event loop.
class InputHold : public QObject
{
    Q_OBJECT

public:
    explicit InputHold(QWidget *window);
    ~InputHold() override;

    void hold();
    // Hands on what was held, each to the widget it was meant for, if that is still there.
    void release();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Held
    {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    // Delivers a held key as the window system would: its shortcut first.
    void deliverKey(QWidget *receiver, QEvent *event);

    QWidget *m_window;
    bool m_holding = false;
    std::vector<Held> m_held;
};
