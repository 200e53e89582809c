// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <future>

class QWidget;

// A picture drawn once at the top left of a widget, at its own size, never stretched.
// Where the screen has more device pixels than logical ones, the picture's @2x variant is
// drawn instead, so that it stays sharp.
//
// Decoding starts on a worker thread as soon as the path is set, so that it runs beside
// the rest of the window's set-up instead of delaying its first paint.
class Picture
{
public:
    const QString &path() const { return m_path; }
    // devicePixelRatio is the ratio the picture is expected to be drawn at; a wrong guess
    // costs a second decoding at the first paint, nothing more.
    void setPath(const QString &path, qreal devicePixelRatio);

    // Logical size: the 1x picture's size in pixels.
    QSize size() const;

    void paint(QWidget *widget);

private:
    static QImage decode(const QString &path, qreal devicePixelRatio);

    QString m_path;
    QPixmap m_pixmap;
    qreal m_pixmapRatio = 0;
    std::future<QImage> m_decoding;
    qreal m_decodingRatio = 0;
};
