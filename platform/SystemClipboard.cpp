// SPDX-License-Identifier: MIT
#include "SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

#include <cstring>

namespace {
// QClipboard returns nothing: a failure shows only in what the platform logs while the call
// runs, so the trap below listens to it.
#ifdef Q_OS_WIN
// When another program holds the clipboard open, the windows plugin reports the failed
// OleSetClipboard with qErrnoWarning, a critical message of no category.
bool reportsFailure(QtMsgType type, const QMessageLogContext &)
{
    return type == QtCriticalMsg;
}

// Whether the text just set is the clipboard's: a sign independent of the log.
bool holdsData(const QClipboard &clipboard)
{
    return clipboard.ownsClipboard();
}
#else
// On X11 a selection that could not be taken is logged under this category.
constexpr char ClipboardCategory[] = "qt.qpa.clipboard";

bool reportsFailure(QtMsgType type, const QMessageLogContext &context)
{
    return type != QtDebugMsg && type != QtInfoMsg && context.category &&
           std::strcmp(context.category, ClipboardCategory) == 0;
}

bool holdsData(const QClipboard &)
{
    return true;
}
#endif

class FailureTrap
{
public:
    FailureTrap()
    {
        s_failed = false;
        s_previous = qInstallMessageHandler(&FailureTrap::handle);
    }
    ~FailureTrap() { qInstallMessageHandler(s_previous); }
    FailureTrap(const FailureTrap &) = delete;
    FailureTrap &operator=(const FailureTrap &) = delete;

    bool failed() const { return s_failed; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (reportsFailure(type, context))
            s_failed = true;
        if (s_previous)
            s_previous(type, context, message);
    }

    static inline bool s_failed = false;
    static inline QtMessageHandler s_previous = nullptr;
};
} // namespace

SystemClipboard::SystemClipboard() : m_clipboard(QGuiApplication::clipboard()) {}

bool SystemClipboard::clear()
{
    FailureTrap trap;
    m_clipboard->clear(QClipboard::Clipboard);
    return !trap.failed();
}

bool SystemClipboard::setText(const QString &text)
{
    FailureTrap trap;
    m_clipboard->setText(text, QClipboard::Clipboard);
    return !trap.failed() && holdsData(*m_clipboard);
}
