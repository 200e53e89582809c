// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QTimer>

// A note that says, for a moment, below a field, why an edit kept less than was put in. It
// looks like a tooltip but takes no input, so that the mouse pointer under it neither
// hides it nor loses the field; it goes after a few seconds, or at the next key or click.
class NameNote : public QLabel
{
    Q_OBJECT

public:
    static constexpr int ShowMs = 5000;

    explicit NameNote(QWidget *field);

    // Shows `text` with its top left at `at`, in global coordinates, kept on the screen.
    void showAt(const QString &text, QPoint at);
    void dismiss();

Q_SIGNALS:
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_showing;
};
