// SPDX-License-Identifier: MIT
#include "DesktopShell.h"
#include "FontWarmUp.h"
#include "Form1.h"
#include "SystemClipboard.h"
#include "SystemGbkCodec.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Runs beside Qt's own start-up, which needs no fonts until the window is built.
    FontWarmUp fonts;
    // The command line is not the tool's to read: Qt sees the program name alone.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    // The desktop entry's name: Wayland compositors and docks find the window's icon and
    // launcher through it.
    QGuiApplication::setDesktopFileName(QStringLiteral(GPD_APP_ID));

    const SystemGbkCodec gbk;
    SystemClipboard clipboard;
    DesktopShell shell;
    fonts.wait();
    Form1 window(gbk, clipboard, shell, QStringLiteral(GPD_PATTERN_HOST));
    // On Windows, a thin border without the sizing frame: the window has one size.
    window.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    window.show();
    return app.exec();
}
