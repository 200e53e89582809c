// SPDX-License-Identifier: MIT
#include "SessionBus.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtGlobal>

namespace {
constexpr char Variable[] = "DBUS_SESSION_BUS_ADDRESS";
bool disabledHere = false;
} // namespace

void keepSessionBusFromAutolaunching()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // A bus the session announces, or the one at the user's runtime folder (where systemd
    // runs one), is the desktop's: use it.
    if (!qEnvironmentVariableIsEmpty(Variable))
        return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime + "/bus")).exists())
        return;
    // No transport of that name: asking for the bus fails at once.
    qputenv(Variable, "disabled:");
    disabledHere = true;
#endif
}

void withSystemEnvironment(const std::function<void()> &start)
{
    if (!disabledHere) {
        start();
        return;
    }
    // The child is made within `start`, on this thread, and takes the environment then.
    qunsetenv(Variable);
    start();
    qputenv(Variable, "disabled:");
}
