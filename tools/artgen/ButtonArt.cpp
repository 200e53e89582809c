// SPDX-License-Identifier: MIT
#include "ButtonArt.h"

#include "TextOutline.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage ButtonArt::render(const QImage &backdrop, const QString &caption, const QColor &ink,
                         const TextOutline &font, int scale)
{
    QImage image = backdrop.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    // A soft drop shadow under the key lifts it off the sky.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 60, 110, 46));
    p.drawRoundedRect(QRectF(1, 1.5, Width - 1, Height - 1.5), 6, 6);

    const QRectF key(0.5, 0.5, Width - 2, Height - 2);
    QLinearGradient face(0, key.top(), 0, key.bottom());
    face.setColorAt(0.00, QColor(250, 253, 255));
    face.setColorAt(0.48, QColor(222, 238, 255));
    face.setColorAt(0.52, QColor(204, 227, 253));
    face.setColorAt(1.00, QColor(176, 209, 247));
    p.setPen(QPen(QColor(92, 136, 198), 1));
    p.setBrush(face);
    p.drawRoundedRect(key, 5, 5);

    // Inner bevel: a light rim along the top and left, a deeper one along the bottom.
    const QRectF rim = key.adjusted(1, 1, -1, -1);
    QLinearGradient bevel(0, rim.top(), 0, rim.bottom());
    bevel.setColorAt(0.0, QColor(255, 255, 255, 230));
    bevel.setColorAt(0.6, QColor(255, 255, 255, 60));
    bevel.setColorAt(1.0, QColor(120, 160, 215, 150));
    p.setPen(QPen(QBrush(bevel), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rim, 4, 4);

    const QPointF centre(key.center().x(), key.center().y());
    const QPainterPath text = font.centredAt(caption, 12, centre);
    TextOutline::fillSharpened(p, text.translated(0, 1), QColor(255, 255, 255, 150));
    TextOutline::fillSharpened(p, text, ink);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
