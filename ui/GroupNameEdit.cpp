// SPDX-License-Identifier: MIT
#include "GroupNameEdit.h"

#include "NameNote.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QValidator>

namespace {
bool isHistoryKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
}

// The words of an entry of QLineEdit's own context menu, with its key.
QString entryText(const char *words, QKeySequence::StandardKey key)
{
    const QString text = QLineEdit::tr(words);
    const QKeySequence sequence(key);
    return sequence.isEmpty() ? text : text + u'\t' + sequence.toString(QKeySequence::NativeText);
}
} // namespace

// A validator that is the field's rule: it sees every change the line edit makes of its own.
class GroupNameEdit::RuleValidator final : public QValidator
{
public:
    explicit RuleValidator(GroupNameEdit *field) : QValidator(field), m_field(field) {}

    State validate(QString &input, int &pos) const override
    {
        return m_field->ruleChange(input, pos);
    }

private:
    GroupNameEdit *m_field;
};

GroupNameEdit::GroupNameEdit(QWidget *parent) : QLineEdit(parent)
{
    // The state before each change: as each event comes (see event()), and as the window
    // moves the cursor and the selection, or changes the text, between events.
    connect(this, &QLineEdit::selectionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::cursorPositionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::textChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (std::optional<NameEdit> edit = std::exchange(m_ruled, std::nullopt)) {
            Q_EMIT edited(*edit, m_inKeystroke);
            explain(edit->shortfall(), edit->bytes());
        }
    });
    connect(this, &QLineEdit::inputRejected, this, [this] {
        if (std::optional<NameEdit> edit = std::exchange(m_ruled, std::nullopt))
            explain(edit->shortfall(), edit->bytes());
    });
    // Screen readers have the note's words as the field's description while it shows.
    m_note = new NameNote(this);
    connect(m_note, &NameNote::dismissed, this, [this] { setAccessibleDescription({}); });
    noteState();
}

void GroupNameEdit::explain(const Shortfall &shortfall, int bytes)
{
    if (!shortfall.any()) {
        m_note->dismiss();
        return;
    }
    QStringList lines;
    if (shortfall.full) {
        lines.append(bytes >= 0 ? tr("已用 %1/16 字节，放不下的没有加上。").arg(bytes)
                                : tr("有的名称放不下，多出的没有加上。"));
        lines.append(tr("每组最长支持16个英文或者8个中文字符。"));
    }
    if (!shortfall.noForm.isEmpty()) {
        QStringList characters;
        for (const uint cp : shortfall.noForm.toUcs4()) {
            const char32_t character = cp;
            characters.append(QString::fromUcs4(&character, 1));
        }
        lines.append(
            tr("聊天软件的编码里没有这些字符，没有加上：%1%2")
                .arg(characters.join(u' '), shortfall.noFormMore > 0 ? tr(" 等") : QString()));
    }
    const QString note = lines.join(u'\n');
    // Below the field, from where the text cursor stands.
    m_note->showAt(note, mapToGlobal(QPoint(cursorRect().left(), height())));
    // Screen readers hear of it as the field's description, without the focus moving.
    setAccessibleDescription(note);
}

void GroupNameEdit::setRule(Rule rule)
{
    m_rule = std::move(rule);
    delete validator();
    setValidator(m_rule ? new RuleValidator(this) : nullptr);
}

void GroupNameEdit::setHistoryActions(QAction *undo, QAction *redo)
{
    m_undo = undo;
    m_redo = redo;
}

void GroupNameEdit::showName(const QString &name)
{
    const QScopedValueRollback<bool> showing(m_showing, true);
    setText(name);
}

void GroupNameEdit::noteState()
{
    // Within an event the state before it holds: Qt may move the cursor before it changes
    // the text (an input method's commit does).
    if (m_inEvent > 0)
        return;
    m_text = text();
    m_from = hasSelectedText() ? selectionStart() : cursorPosition();
    m_to = hasSelectedText() ? selectionEnd() : cursorPosition();
}

QValidator::State GroupNameEdit::ruleChange(QString &proposed, int &cursor)
{
    // Qt looks again at what the rule made of the change, and at unchanged text whenever
    // it likes: neither is an edit.
    if (m_ruled && proposed == m_ruled->text() && cursor == m_ruled->cursor())
        return QValidator::Acceptable;
    if (m_showing || proposed == m_text)
        return QValidator::Acceptable;
    m_ruled = m_rule(GroupNameField::editOf(m_text, m_from, m_to, proposed, cursor));
    // Invalid makes the line edit put back its text, and its selection with it.
    if (!m_ruled->changed())
        return QValidator::Invalid;
    proposed = m_ruled->text();
    cursor = m_ruled->cursor();
    return QValidator::Acceptable;
}

bool GroupNameEdit::event(QEvent *event)
{
    // Left unclaimed, the keys go to the window's shortcuts rather than the field's history.
    if (event->type() == QEvent::ShortcutOverride &&
        isHistoryKey(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    noteState();
    ++m_inEvent;
    const bool handled = QLineEdit::event(event);
    --m_inEvent;
    noteState();
    return handled;
}

void GroupNameEdit::keyPressEvent(QKeyEvent *event)
{
    // Here only when the window has nothing to undo or redo: the field's own must not run.
    if (isHistoryKey(event)) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        requestPaste(Clipboard::Source::Clipboard);
        return;
    }
    // Keys with Ctrl or Alt cut and delete words: steps of their own.
    const bool keystroke =
        !event->text().isEmpty() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QScopedValueRollback<bool> inKeystroke(m_inKeystroke, keystroke);
    QLineEdit::keyPressEvent(event);
}

void GroupNameEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // The line edit first removes the selection, then the range the method replaces,
    // counted from the cursor: without a selection, that range is what the edit replaces.
    if (event->replacementLength() > 0 && !hasSelectedText()) {
        m_from = std::clamp(cursorPosition() + event->replacementStart(), 0, int(m_text.size()));
        m_to = std::clamp(m_from + event->replacementLength(), m_from, int(m_text.size()));
    }
    const QString commit = event->commitString();
    if (!GroupNameField::hasLineBreak(commit)) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Several lines at once are a pattern, for the window to spread over the fields.
    const int from = m_from;
    const int to = m_to;
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
    Q_EMIT textInserted(from, to, commit);
}

void GroupNameEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // A middle click pastes the selected text where the press put the cursor.
    if (event->button() == Qt::MiddleButton && !isReadOnly()) {
        event->accept();
        deselect();
        requestPaste(Clipboard::Source::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void GroupNameEdit::dropEvent(QDropEvent *event)
{
    const QString text = event->mimeData()->text();
    if (text.isNull() || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    const int at = cursorPositionAt(event->position().toPoint());
    Q_EMIT textInserted(at, at, text);
}

void GroupNameEdit::requestPaste(Clipboard::Source source)
{
    Q_EMIT pasteRequested(source, m_from, m_to);
}

void GroupNameEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *GroupNameEdit::createContextMenu()
{
    // QLineEdit's own menu, but for what is the window's: undo and redo, and a paste that
    // does not ask the clipboard what it holds before the user chooses it (an owner that
    // never answers would hold the menu back).
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [menu](const char *words, QKeySequence::StandardKey key, const char *icon,
                            bool enabled, auto slot) {
        QAction *entry = menu->addAction(entryText(words, key));
        entry->setIcon(QIcon::fromTheme(QLatin1String(icon)));
        entry->setEnabled(enabled);
        connect(entry, &QAction::triggered, menu, slot);
    };
    const bool selected = hasSelectedText();
    add("&Undo", QKeySequence::Undo, "edit-undo", m_undo && m_undo->isEnabled(),
        [this] { m_undo->trigger(); });
    add("&Redo", QKeySequence::Redo, "edit-redo", m_redo && m_redo->isEnabled(),
        [this] { m_redo->trigger(); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, "edit-cut", selected, [this] { cut(); });
    add("&Copy", QKeySequence::Copy, "edit-copy", selected, [this] { copy(); });
    add("&Paste", QKeySequence::Paste, "edit-paste", true,
        [this] { requestPaste(Clipboard::Source::Clipboard); });
    add("Delete", QKeySequence::UnknownKey, "edit-delete", selected, [this] { del(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, "edit-select-all",
        !text().isEmpty() && selectedText() != text(), [this] { selectAll(); });
    return menu;
}
