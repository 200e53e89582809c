// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

class LinkLabel;

// What assistive technology sees of a LinkLabel: a link, not static text, named by its
// accessible name and described by the words it shows, whose press action does what a
// click does. Qt would otherwise present it as a plain label with nothing to activate.
class LinkLabelAccessible : public QAccessibleWidget
{
public:
    explicit LinkLabelAccessible(LinkLabel *label);

    // Makes Qt use this interface for every LinkLabel; later calls do nothing.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    LinkLabel *label() const;
};
