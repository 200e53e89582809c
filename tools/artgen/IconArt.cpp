// SPDX-License-Identifier: MIT
#include "IconArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

// The colours sit on the 6-level colour cube that the 256-colour icon file uses, so that
// the flat areas come through its palette unchanged.
const QColor CardEdge(51, 102, 153);
const QColor CardFace(255, 255, 255);
const QColor TitleBar(51, 153, 255);
const QColor RowArrow(51, 102, 204);
const QColor RowBar(153, 204, 255);
const QColor PenBody(255, 153, 51);
const QColor PenShade(204, 102, 0);
const QColor PenWood(255, 204, 153);
const QColor PenLead(51, 51, 51);
const QColor PenBand(204, 204, 204);
const QColor PenEraser(255, 153, 153);
const QColor PenOutline(102, 51, 0);

// A right-pointing arrow centred on `middle`'s row, `height` (odd) pixels high. Small ones
// are laid as whole-pixel steps, which stay sharp where an antialiased edge would smear.
void drawArrow(QPainter &p, QPointF middle, int height, bool stepped)
{
    const int width = (height + 1) / 2;
    const qreal top = middle.y() - height / 2.0;
    if (!stepped) {
        p.setBrush(RowArrow);
        p.drawPolygon(QPolygonF({QPointF(middle.x(), top), QPointF(middle.x() + width, middle.y()),
                                 QPointF(middle.x(), top + height)}));
        return;
    }
    const qreal rowTop = qFloor(top);
    for (int row = 0; row < height; ++row)
        p.fillRect(QRectF(middle.x(), rowTop + row, qMin(row, height - 1 - row) + 1, 1), RowArrow);
}

void drawCard(QPainter &p, int size)
{
    const int edge = qMax(1, qRound(size / 32.0));
    const QRectF outer(qRound(size * 0.06), qRound(size * 0.06), qRound(size * 0.74),
                       qRound(size * 0.86));
    const qreal radius = qMax(1.5, size * 0.09);
    p.setPen(Qt::NoPen);
    p.setBrush(CardEdge);
    p.drawRoundedRect(outer, radius, radius);

    const QRectF inner = outer.adjusted(edge, edge, -edge, -edge);
    QPainterPath face;
    face.addRoundedRect(inner, radius - edge, radius - edge);
    p.fillPath(face, CardFace);

    const int barHeight = qMax(2, qRound(size * 0.14));
    p.save();
    p.setClipPath(face);
    p.fillRect(QRectF(inner.left(), inner.top(), inner.width(), barHeight), TitleBar);
    p.restore();
    p.fillRect(QRectF(inner.left(), inner.top() + barHeight, inner.width(), edge), CardEdge);

    const int rows = size <= 24 ? 3 : 4;
    const qreal gap = qMax(1, qRound(size * 0.06));
    const qreal top = inner.top() + barHeight + edge + gap;
    const qreal pitch = qFloor((inner.bottom() - gap - top) / rows);
    const qreal rowHeight = qMax(1, qRound(pitch * 0.45));
    const qreal lengths[] = {0.92, 0.62, 0.80, 0.50};
    // Below 22 px an arrow would be a lone dot; the bars alone still read as a list.
    const bool arrows = size >= 22;
    // Taller than its bar but clear of the next row; an odd height gives it a one-pixel point.
    const int arrowRoom = qMin(int(rowHeight) + 2 * qMax(1, qRound(size / 64.0)), int(pitch) - 1);
    const int arrowHeight = arrowRoom % 2 == 1 ? arrowRoom : arrowRoom - 1;
    const qreal arrowWidth = arrows ? (arrowHeight + 1) / 2 : 0;
    const qreal barLeft = inner.left() + gap + (arrows ? arrowWidth + gap : 0);
    const qreal barSpan = inner.right() - gap - barLeft;
    for (int row = 0; row < rows; ++row) {
        const qreal y = top + row * pitch + qFloor((pitch - rowHeight) / 2);
        if (arrows)
            drawArrow(p, QPointF(inner.left() + gap, y + rowHeight / 2), arrowHeight, size < 64);
        p.fillRect(QRectF(barLeft, y, qRound(barSpan * lengths[row]), rowHeight), RowBar);
    }
}

// The pencil lies along a line rising to the right, its lead resting on the card's lower edge.
void drawPencil(QPainter &p, int size)
{
    const QPointF tip(size * 0.50, size * 0.86);
    const QPointF end(size * 0.89, size * 0.17);
    const qreal length = QLineF(tip, end).length();
    const qreal width = qMax(4.0, size * 0.18);
    const qreal angle = qRadiansToDegrees(qAtan2(end.y() - tip.y(), end.x() - tip.x()));

    p.save();
    p.translate(tip);
    p.rotate(angle);
    // Along +x from the lead to the eraser; the shaded side is +y.
    const qreal half = width / 2;
    const qreal cone = length * 0.24;
    const qreal lead = cone * 0.38;
    const qreal band = length * 0.86;
    const qreal eraser = length * 0.90;

    QPainterPath body;
    body.moveTo(0, 0);
    body.lineTo(cone, -half);
    body.lineTo(length - half * 0.6, -half);
    body.quadTo(length, -half, length, 0);
    body.quadTo(length, half, length - half * 0.6, half);
    body.lineTo(cone, half);
    body.closeSubpath();

    if (size >= 32) {
        const qreal outline = qMax(1.0, size / 32.0) * 1.5;
        p.strokePath(body, QPen(PenOutline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(0, -half, length, width), PenWood);
    p.fillRect(QRectF(cone, -half, band - cone, width), PenBody);
    p.fillRect(QRectF(cone, half / 3, band - cone, half), PenShade);
    p.fillRect(QRectF(band, -half, eraser - band, width), PenBand);
    p.fillRect(QRectF(eraser, -half, length - eraser, width), PenEraser);
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(lead, -half * lead / cone);
    point.lineTo(lead, half * lead / cone);
    point.closeSubpath();
    p.fillPath(point, PenLead);
    p.restore();
    p.restore();
}

} // namespace

QImage IconArt::render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawCard(p, size);
    drawPencil(p, size);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
