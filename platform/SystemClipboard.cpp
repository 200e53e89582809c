// SPDX-License-Identifier: MIT
#include "SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

#include <cstring>

namespace {
// QClipboard returns nothing, and on X11 a selection that could not be taken is only
// logged under this category. Listening to it while the call runs is the one sign of
// failure the platform gives.
constexpr char ClipboardCategory[] = "qt.qpa.clipboard";

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
        if (type != QtDebugMsg && type != QtInfoMsg && context.category &&
            std::strcmp(context.category, ClipboardCategory) == 0)
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
    return !trap.failed();
}
