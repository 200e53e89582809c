// SPDX-License-Identifier: MIT
#include "LinkLabelAccessible.h"

#include "LinkLabel.h"

#include <QMetaObject>

namespace {
QAccessibleInterface *linkLabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(LinkLabel::staticMetaObject.className())) {
        if (auto *label = qobject_cast<LinkLabel *>(object))
            return new LinkLabelAccessible(label);
    }
    return nullptr;
}
} // namespace

LinkLabelAccessible::LinkLabelAccessible(LinkLabel *label)
    : QAccessibleWidget(label, QAccessible::Link)
{
}

void LinkLabelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(linkLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

LinkLabel *LinkLabelAccessible::label() const
{
    return static_cast<LinkLabel *>(widget());
}

QString LinkLabelAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: {
        // A label set in the design wins; without one the link reads as its words.
        const QString name = QAccessibleWidget::text(t);
        return name.isEmpty() ? label()->text() : name;
    }
    case QAccessible::Description: {
        // The name says where the link goes; the words around it are read as its description.
        const QString description = QAccessibleWidget::text(t);
        if (!description.isEmpty() || label()->text() == text(QAccessible::Name))
            return description;
        return label()->text();
    }
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State LinkLabelAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.linked = true;
    return s;
}

QStringList LinkLabelAccessible::actionNames() const
{
    // Press first: screen readers activate an object with its first action.
    QStringList names = QAccessibleWidget::actionNames();
    names.prepend(pressAction());
    return names;
}

void LinkLabelAccessible::doAction(const QString &actionName)
{
    if (actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    // A disabled or hidden strip takes no click, so it takes no press either.
    if (!label()->isEnabled() || !label()->isVisible())
        return;
    // Queued, so the assistive tool gets its answer before the desktop is asked.
    QMetaObject::invokeMethod(
        label(), [label = label()] { Q_EMIT label->clicked(); }, Qt::QueuedConnection);
}
