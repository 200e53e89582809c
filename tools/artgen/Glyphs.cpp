// SPDX-License-Identifier: MIT
#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QPolygonF starPolygon(QPointF centre, qreal outer, qreal inner, int points)
{
    QPolygonF star;
    for (int i = 0; i < points * 2; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / points;
        const qreal r = (i % 2 == 0) ? outer : inner;
        star << centre + QPointF(r * qCos(angle), r * qSin(angle));
    }
    return star;
}

QPainterPath personPath(QPointF headCentre, qreal headRadius)
{
    QPainterPath person;
    person.addEllipse(headCentre, headRadius, headRadius);
    const qreal shoulders = headRadius * 2.1;
    const QPointF top = headCentre + QPointF(0, headRadius * 1.35);
    QPainterPath body;
    body.moveTo(top.x() - shoulders, top.y() + shoulders * 1.1);
    body.cubicTo(top.x() - shoulders, top.y() - 0.1 * shoulders, top.x() + shoulders,
                 top.y() - 0.1 * shoulders, top.x() + shoulders, top.y() + shoulders * 1.1);
    body.closeSubpath();
    return person.united(body);
}

void drawChat(QPainter &p, const QColor &ink, const QColor &detail)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1, 2, 14, 10), 3.5, 3.5);
    QPainterPath tail;
    tail.moveTo(4, 11);
    tail.lineTo(3.5, 15);
    tail.lineTo(8.5, 11);
    tail.closeSubpath();
    p.fillPath(bubble.united(tail), ink);
    p.setBrush(detail);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(5 + 3 * i, 7), 1.1, 1.1);
}

void drawEnvelope(QPainter &p, const QColor &ink, const QColor &detail)
{
    p.fillRect(QRectF(1, 3, 14, 10), ink);
    p.setPen(QPen(detail, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1.8, 4), QPointF(8, 9), QPointF(14.2, 4)}));
}

void drawFolder(QPainter &p, const QColor &ink, const QColor &detail)
{
    QPainterPath folder;
    folder.moveTo(1, 3.5);
    folder.lineTo(6, 3.5);
    folder.lineTo(7.5, 5);
    folder.lineTo(15, 5);
    folder.lineTo(15, 13.5);
    folder.lineTo(1, 13.5);
    folder.closeSubpath();
    p.fillPath(folder, ink);
    p.fillRect(QRectF(1, 6.5, 14, 1.2), detail);
}

void drawNote(QPainter &p, const QColor &ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(4.2, 12.3), 2.6, 2);
    p.drawEllipse(QPointF(12.2, 10.8), 2.6, 2);
    p.drawRect(QRectF(5.6, 2.5, 1.5, 9.8));
    p.drawRect(QRectF(13.6, 1, 1.5, 9.8));
    QPolygonF beam({QPointF(5.6, 2.5), QPointF(15.1, 1), QPointF(15.1, 3.6), QPointF(5.6, 5.1)});
    p.drawPolygon(beam);
}

void drawPicture(QPainter &p, const QColor &ink, const QColor &detail)
{
    p.fillRect(QRectF(1, 2.5, 14, 11), ink);
    p.setPen(Qt::NoPen);
    p.setBrush(detail);
    p.drawPolygon(QPolygonF({QPointF(2.5, 12), QPointF(7, 6.5), QPointF(10, 10), QPointF(11.5, 8.5),
                             QPointF(13.5, 12)}));
    p.drawEllipse(QPointF(11.3, 5.4), 1.4, 1.4);
}

void drawGear(QPainter &p, const QColor &ink, const QColor &detail)
{
    QPainterPath gear;
    gear.addEllipse(QPointF(8, 8), 5, 5);
    for (int i = 0; i < 8; ++i) {
        QTransform turn;
        turn.translate(8, 8);
        turn.rotate(45.0 * i);
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.6, -7.2, 3.2, 3.5));
        gear = gear.united(turn.map(tooth));
    }
    p.fillPath(gear, ink);
    p.setPen(Qt::NoPen);
    p.setBrush(detail);
    p.drawEllipse(QPointF(8, 8), 2.1, 2.1);
}

void drawClock(QPainter &p, const QColor &ink)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.6));
    p.drawEllipse(QPointF(8, 8), 6.2, 6.2);
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(8, 4.2), QPointF(8, 8.3), QPointF(10.8, 10)}));
}

void drawMagnifier(QPainter &p, const QColor &ink)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.5));
    p.drawEllipse(QPointF(6.5, 6.5), 4.3, 4.3);
    p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.8, 9.8), QPointF(14, 14));
}

} // namespace

void Glyphs::draw(QPainter &painter, Kind kind, const QRectF &box, const QColor &ink,
                  const QColor &detail)
{
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 16.0, box.height() / 16.0);
    switch (kind) {
    case Chat:
        drawChat(painter, ink, detail);
        break;
    case Envelope:
        drawEnvelope(painter, ink, detail);
        break;
    case Star:
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawPolygon(starPolygon(QPointF(8, 8.6), 7.4, 3.1, 5));
        break;
    case Folder:
        drawFolder(painter, ink, detail);
        break;
    case Note:
        drawNote(painter, ink);
        break;
    case Picture:
        drawPicture(painter, ink, detail);
        break;
    case Gear:
        drawGear(painter, ink, detail);
        break;
    case Person:
        painter.fillPath(personPath(QPointF(8, 5), 3), ink);
        break;
    case Group:
        painter.fillPath(personPath(QPointF(10.8, 4.8), 2.5), ink.lighter(135));
        painter.fillPath(personPath(QPointF(6, 5.6), 2.9), ink);
        break;
    case Clock:
        drawClock(painter, ink);
        break;
    case Magnifier:
        drawMagnifier(painter, ink);
        break;
    }
    painter.restore();
}
