// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QTimer>

// A note that says, for a moment, why an edit kept less than was put in. It is drawn on the
// window, as a tooltip looks, where the window puts it: beside the list, over no field and
// no button. It takes no input, so that a click on it reaches what lies under it. It goes
// after a few seconds, at the next click, when the window loses the focus, and at the next
// key unless that key's edit says the same again (a held key that is refused keeps it, still).
class NameNote : public QLabel
{
    Q_OBJECT

public:
    static constexpr int ShowMs = 5000;

    explicit NameNote(QWidget *window);

    // Shows `text` in the free area of `areas` (in the window's coordinates) that holds it
    // nearest to the rows from `top` to `bottom`, or the tallest one.
    void showBeside(const QString &text, int top, int bottom, const QList<QRect> &areas);
    void dismiss();

Q_SIGNALS:
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_showing;
    bool m_stale = false; // a key came since the note was last said
};
