// SPDX-License-Identifier: MIT
#include "GroupNameEditAccessible.h"

#include "GroupNameEdit.h"

#include <QFontMetrics>

namespace {
QAccessibleInterface *groupNameEditFactory(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(GroupNameEdit::staticMetaObject.className())) {
        if (auto *field = qobject_cast<GroupNameEdit *>(object))
            return new GroupNameEditAccessible(field);
    }
    return nullptr;
}
} // namespace

GroupNameEditAccessible::GroupNameEditAccessible(GroupNameEdit *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
}

void GroupNameEditAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(groupNameEditFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

GroupNameEdit *GroupNameEditAccessible::field() const
{
    return static_cast<GroupNameEdit *>(widget());
}

void *GroupNameEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString GroupNameEditAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Value ? field()->text() : QAccessibleWidget::text(t);
}

void GroupNameEditAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    // A value set as a whole replaces the whole name.
    field()->requestEdit(0, int(field()->text().size()), text);
}

QAccessible::State GroupNameEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !field()->isReadOnly();
    s.readOnly = field()->isReadOnly();
    s.selectableText = true;
    return s;
}

void GroupNameEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText())
        return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int GroupNameEditAccessible::selectionCount() const
{
    return field()->hasSelectedText() ? 1 : 0;
}

void GroupNameEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void GroupNameEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        field()->deselect();
}

void GroupNameEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        field()->setSelection(startOffset, endOffset - startOffset);
}

int GroupNameEditAccessible::cursorPosition() const
{
    return field()->cursorPosition();
}

void GroupNameEditAccessible::setCursorPosition(int position)
{
    field()->setCursorPosition(position);
}

QString GroupNameEditAccessible::text(int startOffset, int endOffset) const
{
    return field()->text().mid(startOffset, endOffset - startOffset);
}

int GroupNameEditAccessible::characterCount() const
{
    return int(field()->text().size());
}

QRect GroupNameEditAccessible::characterRect(int offset) const
{
    // A name always fits its field, which therefore never scrolls: the text starts at the
    // line edit's own margin of 2.
    const QString text = field()->text();
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics(field()->font());
    const QRect line = field()->contentsRect() - field()->textMargins();
    const QRect local(line.left() + 2 + metrics.horizontalAdvance(text.left(offset)), line.top(),
                      metrics.horizontalAdvance(text.mid(offset, 1)), line.height());
    return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int GroupNameEditAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = field()->mapFromGlobal(point);
    return field()->rect().contains(local) ? field()->cursorPositionAt(local) : -1;
}

void GroupNameEditAccessible::scrollToSubstring(int startIndex, int)
{
    field()->setCursorPosition(startIndex);
}

QString GroupNameEditAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    // One run of text, in the field's one font.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void GroupNameEditAccessible::deleteText(int startOffset, int endOffset)
{
    field()->requestEdit(startOffset, endOffset, QString());
}

void GroupNameEditAccessible::insertText(int offset, const QString &text)
{
    field()->requestEdit(offset, offset, text);
}

void GroupNameEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    field()->requestEdit(startOffset, endOffset, text);
}
