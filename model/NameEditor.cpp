// SPDX-License-Identifier: MIT
#include "NameEditor.h"

#include "CopyPattern.h"
#include "NameDecoration.h"

NameEditor::NameEditor(const GbkCodec &gbk, Clipboard &clipboard, QObject *parent)
    : QObject(parent), m_names(gbk), m_clipboard(clipboard)
{
    m_pasteWait.setSingleShot(true);
    m_pasteWait.setInterval(PasteWaitMs);
    m_pasteWait.setTimerType(Qt::PreciseTimer);
    connect(&m_pasteWait, &QTimer::timeout, this, &NameEditor::copyNow);
}

NameEditor::~NameEditor()
{
    // A paste on its way finds nobody to go to.
    m_clipboard.cancelRequest();
}

NameChange NameEditor::report(NameChange change)
{
    if (!change.changed.isEmpty())
        ++m_changes;
    Q_EMIT changed(change);
    return change;
}

QList<NameHistory::Name> NameEditor::recordOf(const QStringList &before,
                                              const QList<int> &changed) const
{
    QList<NameHistory::Name> names;
    names.reserve(changed.size());
    for (const int n : changed)
        names.append({n, before.at(n - 1), m_names.name(n)});
    return names;
}

NameChange NameEditor::edit(int n, const TextEdit &edit, bool keystroke)
{
    NameChange change;
    change.n = n;
    if (keystroke) {
        const NameEdit ruled = m_names.rule(n, edit);
        m_names.apply(n, ruled);
        m_history.record(n, ruled, true);
        if (ruled.changed()) {
            change.changed = {n};
            change.cursor = ruled.cursor();
        }
        change.bytes = ruled.bytes();
        change.shortfall = ruled.shortfall();
        return report(std::move(change));
    }
    const QStringList before = m_names.names();
    const PasteEdit paste = m_names.PastePattern(n, edit.from, edit.to, edit.inserted);
    if (paste.changed == QList<int>{n})
        m_history.record(n, paste.first, false);
    else
        m_history.record(recordOf(before, paste.changed));
    change.changed = paste.changed;
    if (paste.first.changed())
        change.cursor = paste.first.cursor();
    change.bytes = paste.first.bytes();
    change.shortfall = paste.shortfall;
    change.pattern = paste.pattern;
    change.full = paste.full;
    change.noForm = paste.noForm;
    change.dropped = paste.dropped;
    return report(std::move(change));
}

void NameEditor::decorateAll(int n)
{
    replaceNames(NameChange::Kind::Decorate, n,
                 NameDecoration::decorateAll(m_names.names(), n, m_names.gbk()));
}

void NameEditor::alignRight(int n, const TextWidths &widths)
{
    replaceNames(NameChange::Kind::Align, n,
                 NameDecoration::alignRight(m_names.names(), widths, m_names.gbk()));
}

void NameEditor::replaceNames(NameChange::Kind kind, int n, const NameDecoration::Outcome &outcome)
{
    NameChange change;
    change.kind = kind;
    change.n = n;
    change.refusal = outcome.refusal;
    change.missed = outcome.missed;
    const QStringList before = m_names.names();
    for (const auto &[k, text] : outcome.names) {
        const NameEdit replaced = m_names.replace(k, text);
        if (replaced.text() != before.at(k - 1))
            change.changed.append(k);
    }
    m_history.record(recordOf(before, change.changed));
    report(std::move(change));
}

void NameEditor::clear()
{
    const QStringList before = m_names.names();
    NameChange change;
    change.kind = NameChange::Kind::Clear;
    change.changed = m_names.ClearPattern();
    m_history.record(recordOf(before, change.changed));
    report(std::move(change));
}

void NameEditor::undo()
{
    move(m_history.undo(), NameChange::Kind::Undo);
}

void NameEditor::redo()
{
    move(m_history.redo(), NameChange::Kind::Redo);
}

void NameEditor::move(const NameHistory::Step *step, NameChange::Kind kind)
{
    if (!step)
        return;
    const bool back = kind == NameChange::Kind::Undo;
    NameChange change;
    change.kind = kind;
    for (const NameHistory::Name &name : step->names) {
        m_names.restore(name.n, back ? name.before : name.after);
        change.changed.append(name.n);
    }
    change.n = step->n();
    if (change.n > 0)
        change.cursor = back ? step->undoneCursor() : step->redoneCursor();
    report(std::move(change));
}

int NameEditor::room(int n, int from, int to) const
{
    return GroupNameField::MaxBytes - m_names.rule(n, TextEdit{from, to, {}}).bytes();
}

void NameEditor::paste(int n, Clipboard::Source source, int from, int to)
{
    const unsigned changes = m_changes;
    m_pasting = true;
    m_pasteChanges = changes;
    m_clipboard.requestText(source, [=](Clipboard::Outcome outcome, const QString &text) {
        m_pasting = false;
        // An edit, a clear or an undo made before the text came wins over it.
        if (m_changes == changes) {
            if (outcome == Clipboard::Outcome::NoAnswer)
                Q_EMIT pasteUnanswered();
            else if (outcome == Clipboard::Outcome::Text)
                edit(n, TextEdit{from, to, text}, false);
        }
        if (m_copyWaiting)
            copyNow();
    });
}

bool NameEditor::pastePending() const
{
    // One that an edit, a clear or an undo has beaten would change nothing.
    return m_pasting && m_changes == m_pasteChanges;
}

void NameEditor::copy()
{
    if (m_copyWaiting)
        return;
    if (!pastePending()) {
        copyNow();
        return;
    }
    m_copyWaiting = true;
    m_pasteWait.start();
    Q_EMIT copyWaitingChanged(true);
}

void NameEditor::copyNow()
{
    const bool waited = std::exchange(m_copyWaiting, false);
    m_pasteWait.stop();
    if (!CopyPattern(m_names, m_clipboard))
        Q_EMIT copyFailed();
    if (waited)
        Q_EMIT copyWaitingChanged(false);
}
