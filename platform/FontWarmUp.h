// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <thread>

// Loads the system's font configuration on a worker thread while the rest of the program
// starts, so that the window's first text does not wait for it. Where text rendering
// needs no such set-up, it does nothing.
//
// On the same worker it prepares the Song-style font (the first of the window's families
// that the system has) to be drawn as 宋体 on a Chinese Windows: from its own embedded
// bitmaps, black, at every pixel size it has a bitmap strike of (a fontconfig rule), and
// its narrow characters of two GBK bytes in full cells (FullCellFont, built here, for the
// program to register). At other sizes, and under Qt's high-DPI scaling, which draws text
// through a transformation, its outlines stay antialiased.
class FontWarmUp
{
public:
    explicit FontWarmUp(const QStringList &families = {});
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Waits for the set-up to finish. Called before the first text is measured, so that
    // Qt finds the configuration loaded instead of loading a second one beside it.
    void wait();

    // Once waited for: the Song-style font's file and face in it, empty where the system
    // has none of the families (or no fontconfig).
    QString songFontFile() const { return m_songFile; }
    int songFontIndex() const { return m_songIndex; }
    // The pixel sizes drawn from its bitmaps.
    QList<int> bitmapSizes() const { return m_bitmapSizes; }
    // Its full-cell part, for FullCellFont::install(); empty where it needs none.
    QByteArray fullCellFont() const { return m_fullCellFont; }

private:
    void configure();

    QStringList m_families;
    QString m_songFile;
    int m_songIndex = 0;
    QList<int> m_bitmapSizes;
    QByteArray m_fullCellFont;
    std::thread m_thread;
};
