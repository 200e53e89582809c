// SPDX-License-Identifier: MIT
#include "DesktopShell.h"
#include "FontWarmUp.h"
#include "Form1.h"
#include "FullCellFont.h"
#include "OneByteFont.h"
#include "SessionBus.h"
#include "SystemClipboard.h"
#include "SystemGbkCodec.h"
#include "SystemTextWidths.h"
#include "SystemWindowFonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

// Qt's own words (menus, keys' names, dialog buttons): built into the Windows program, so
// that the one file stays whole; elsewhere from the system's Qt.
#ifdef GPD_QT_TRANSLATIONS_BUILT_IN
#define GPD_QT_TRANSLATIONS QStringLiteral(":/i18n")
#else
#define GPD_QT_TRANSLATIONS QLibraryInfo::path(QLibraryInfo::TranslationsPath)
#endif

#ifndef GPD_GBK_SOURCES
#define GPD_GBK_SOURCES SystemGbkCodec::AllSources
#endif

namespace {
// Without a GBK table no name could be measured: say what is missing rather than start.
[[noreturn]] void refuseWithoutGbk()
{
    std::fputs("group-pattern-designer: this system has no GBK (code page 936) conversion, "
               "neither in Qt nor in the C library's iconv; group names cannot be measured\n",
               stderr);
    QMessageBox::critical(nullptr, QStringLiteral(u"分组图案设计器"),
                          QStringLiteral(u"本机没有 GBK（代码页 936）文字转换，无法计算分组名称的"
                                         u"长度，程序不能运行。"));
    // Nothing was made that needs taking down, and Qt 6.4's Wayland client was seen to hang
    // in its own teardown after this dialog (1 exit in 3): end here.
    std::fflush(stderr);
    std::_Exit(1);
}
} // namespace

int main(int argc, char *argv[])
{
    // Runs beside Qt's own start-up, which needs no fonts until the window is built; finds
    // the Song-style font among the window's families, to be drawn from its bitmaps.
    const QString windowFont = QStringLiteral("Tahoma");
    const SystemWindowFonts windowFonts;
    FontWarmUp fonts(windowFonts.families(windowFont));
    keepSessionBusFromAutolaunching();
    // The command line is not the tool's to read: Qt sees the program name alone.
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    // The desktop entry's name: Wayland compositors and docks find the window's icon and
    // launcher through it.
    QGuiApplication::setDesktopFileName(QStringLiteral(GPD_APP_ID));
    // Simplified Chinese, whatever the system's language: the window's words are, and so
    // are Qt's.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtWords;
    if (qtWords.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), GPD_QT_TRANSLATIONS))
        QCoreApplication::installTranslator(&qtWords);

    const SystemGbkCodec gbk(GPD_GBK_SOURCES);
    if (!gbk.isAvailable())
        refuseWithoutGbk();
    SystemClipboard clipboard;
    DesktopShell shell;
    fonts.wait();
    OneByteFont::install(windowFont,
                         QStringLiteral(GPD_TAHOMA_FILES).split(u';', Qt::SkipEmptyParts));
    FullCellFont::install(fonts.fullCellFont());
    const SystemTextWidths widths(windowFont, gbk);
    Form1 window(gbk, clipboard, shell, windowFonts, widths, QStringLiteral(GPD_PATTERN_HOST));
    // On Windows, a thin border without the sizing frame: the window has one size.
    window.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    window.show();
    return app.exec();
}
