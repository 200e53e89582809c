// SPDX-License-Identifier: MIT
#include "BackgroundArt.h"

#include "Glyphs.h"
#include "TextOutline.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

const QColor FrameBlue(141, 184, 255);
const QColor PanelLine(62, 94, 146);
const QColor ListWhite(255, 255, 255);
const QColor RowArrow(86, 92, 102);
const QColor TitleInk(0, 0, 0);

// Fixed places the window relies on, in logical pixels.
constexpr int FrameWidth = 12;
constexpr int LeftLineX = 106;
constexpr int RightLineX = 355;
constexpr int PanelTop = 12;
constexpr int PanelBottom = 375;
const QRect ListArea(139, 83, 215, 293); // x 139-353, y 83-375
constexpr int ArrowLeft = 146;
constexpr int FirstArrowTop = 90;
constexpr int RowPitch = 22;
constexpr int RowCount = 12;
const QRectF TitleInkBox(158, 90, 47, 11); // ink from x 158 to 204, y 90 to 100

void drawSky(QPainter &p)
{
    QLinearGradient sky(0, PanelTop, 0, PanelBottom);
    sky.setColorAt(0.0, QColor(92, 154, 232));
    sky.setColorAt(0.55, QColor(150, 196, 248));
    sky.setColorAt(1.0, QColor(212, 233, 255));
    p.fillRect(QRect(FrameWidth, PanelTop, BackgroundArt::Width - 2 * FrameWidth,
                     PanelBottom - PanelTop + 1),
               sky);
}

// A small fixed pseudo-random sequence, so that every cloud differs but every run draws
// the same ones.
class CloudShape
{
public:
    explicit CloudShape(quint32 seed) : m_state(seed * 2654435761u + 1) {}

    qreal next(qreal low, qreal high)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return low + (high - low) * ((m_state >> 8) / qreal(1 << 24));
    }

private:
    quint32 m_state;
};

void drawPuff(QPainter &p, QPointF at, qreal r, const QColor &core, qreal squash = 1.0)
{
    QRadialGradient glow(QPointF(0, 0), r);
    glow.setColorAt(0.0, core);
    glow.setColorAt(0.5, QColor(core.red(), core.green(), core.blue(), core.alpha() * 3 / 4));
    glow.setColorAt(1.0, QColor(core.red(), core.green(), core.blue(), 0));
    p.save();
    p.translate(at);
    p.scale(1, squash);
    p.setBrush(glow);
    p.drawEllipse(QPointF(0, 0), r, r);
    p.restore();
}

// A cloud is a cluster of soft round puffs over a flat, wide base, with a faint blue-grey
// copy of the puffs a little lower for the shaded underside. Overlapping puffs build a
// dense core with feathered edges, which reads as a soft cloud without any blur filter.
void drawCloud(QPainter &p, QPointF centre, qreal size, quint32 seed)
{
    CloudShape shape(seed);
    struct Puff
    {
        QPointF at;
        qreal r;
    };
    QList<Puff> puffs;
    const int count = 5 + int(shape.next(0, 3));
    for (int i = 0; i < count; ++i) {
        const qreal across = -1.0 + 2.0 * i / (count - 1) + shape.next(-0.12, 0.12);
        const qreal height = 1.0 - qAbs(across);
        const qreal r = size * (0.32 + 0.42 * height + shape.next(-0.06, 0.08));
        const qreal lift = size * (0.15 - 0.45 * height + shape.next(-0.08, 0.08));
        puffs.append({centre + QPointF(across * size * 1.15, lift), r});
    }
    p.setPen(Qt::NoPen);
    for (const Puff &puff : puffs)
        drawPuff(p, puff.at + QPointF(0, size * 0.16), puff.r, QColor(178, 202, 234, 90));
    drawPuff(p, centre + QPointF(0, size * 0.22), size * 1.45, QColor(255, 255, 255, 170), 0.28);
    for (const Puff &puff : puffs)
        drawPuff(p, puff.at, puff.r, QColor(255, 255, 255, 215));
}

void drawClouds(QPainter &p)
{
    p.save();
    QPainterPath sky;
    sky.addRect(QRectF(FrameWidth, PanelTop, LeftLineX - FrameWidth, PanelBottom - PanelTop + 1));
    sky.addRect(QRectF(RightLineX + 1, PanelTop, BackgroundArt::Width - FrameWidth - RightLineX - 1,
                       PanelBottom - PanelTop + 1));
    p.setClipPath(sky);
    drawCloud(p, QPointF(48, 62), 27, 1);
    drawCloud(p, QPointF(90, 148), 18, 2);
    drawCloud(p, QPointF(32, 236), 28, 3);
    drawCloud(p, QPointF(86, 318), 21, 4);
    drawCloud(p, QPointF(392, 138), 17, 5);
    drawCloud(p, QPointF(482, 176), 20, 6);
    drawCloud(p, QPointF(446, 300), 28, 7);
    drawCloud(p, QPointF(372, 352), 16, 8);
    p.restore();
}

// The publisher's mark: a sunny disc holding a three-bladed pinwheel, with a small spark.
void drawMark(QPainter &p)
{
    const QPointF centre(426, 64);
    const qreal radius = 27;
    p.save();
    p.setPen(Qt::NoPen);

    QRadialGradient halo(centre, radius + 12);
    halo.setColorAt(0.6, QColor(255, 255, 255, 120));
    halo.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(halo);
    p.drawEllipse(centre, radius + 12, radius + 12);

    p.setBrush(QColor(30, 60, 110, 45));
    p.drawEllipse(centre + QPointF(1, 2), radius + 1.5, radius + 1.5);

    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius + 2, radius + 2);

    QRadialGradient disc(centre + QPointF(-9, -11), radius * 1.6);
    disc.setColorAt(0.0, QColor(255, 214, 110));
    disc.setColorAt(0.5, QColor(250, 140, 62));
    disc.setColorAt(1.0, QColor(214, 72, 78));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);

    QPainterPath blade;
    blade.moveTo(0, 0);
    blade.cubicTo(1, -10, 12, -20, 21, -13);
    blade.cubicTo(15, -9, 10, -3, 7, 4);
    blade.closeSubpath();
    for (int i = 0; i < 3; ++i) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(120.0 * i - 12);
        p.fillPath(turn.map(blade), QColor(255, 255, 255, i == 0 ? 250 : 215));
    }
    p.setBrush(QColor(214, 72, 78));
    p.drawEllipse(centre, 3.2, 3.2);

    QPolygonF spark;
    const QPointF sparkAt = centre + QPointF(radius * 0.78, -radius * 0.86);
    for (int i = 0; i < 8; ++i) {
        const qreal angle = i * M_PI / 4;
        const qreal r = (i % 2 == 0) ? 7.5 : 1.8;
        spark << sparkAt + QPointF(r * qSin(angle), -r * qCos(angle));
    }
    p.setBrush(Qt::white);
    p.drawPolygon(spark);
    p.restore();
}

void drawToolbar(QPainter &p)
{
    const QRectF band(LeftLineX + 1, PanelTop, RightLineX - LeftLineX - 1, 21);
    QLinearGradient face(0, band.top(), 0, band.bottom());
    face.setColorAt(0.0, QColor(252, 254, 255));
    face.setColorAt(1.0, QColor(214, 230, 250));
    p.fillRect(band, face);
    p.fillRect(QRectF(band.left(), 32, band.width(), 1), QColor(176, 200, 234));

    const QColor ink(74, 110, 160);
    const QColor behind(236, 244, 253);
    const Glyphs::Kind tools[] = {Glyphs::Envelope, Glyphs::Chat,    Glyphs::Person,
                                  Glyphs::Folder,   Glyphs::Picture, Glyphs::Gear};
    qreal x = 112;
    for (Glyphs::Kind kind : tools) {
        Glyphs::draw(p, kind, QRectF(x, 15, 14, 14), ink, behind);
        x += 22;
    }
    p.fillRect(QRectF(x + 1, 15, 1, 14), QColor(184, 205, 234));
    p.fillRect(QRectF(x + 2, 15, 1, 14), Qt::white);

    // The panel's menu button at the right end.
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(334, 20), QPointF(344, 20), QPointF(339, 25.5)}));
}

void drawSearchField(QPainter &p, const TextOutline &font)
{
    const QRectF band(LeftLineX + 1, 33, RightLineX - LeftLineX - 1, 24);
    p.fillRect(band, QColor(232, 241, 253));

    const QRectF field(110.5, 36.5, 241, 17);
    p.setPen(QPen(QColor(146, 172, 210), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(field, 3, 3);
    p.fillRect(QRectF(112, 37, 238, 1), QColor(232, 238, 246));

    Glyphs::draw(p, Glyphs::Magnifier, QRectF(115, 38.5, 13, 13), QColor(128, 140, 158), Qt::white);

    QPainterPath hint = font.path(QStringLiteral(u"搜索联系人"), 12);
    const QRectF ink = hint.boundingRect();
    hint.translate(QPointF(133 - ink.left(), 45 - ink.center().y()));
    TextOutline::fillSharpened(p, hint, QColor(150, 150, 150), 1.4);
}

void drawTabs(QPainter &p)
{
    const qreal top = 57;
    const qreal height = 26;
    const qreal width = 72;
    const qreal left = ListArea.left();
    const QColor shade(170, 196, 232);

    QLinearGradient idle(0, top, 0, top + height);
    idle.setColorAt(0.0, QColor(240, 246, 255));
    idle.setColorAt(1.0, QColor(206, 224, 249));
    p.fillRect(QRectF(left, top, 3 * width, height), idle);
    p.fillRect(QRectF(left, top + height - 1, 3 * width, 1), shade);

    // The first tab is the open one: white, joined to the list below it.
    p.fillRect(QRectF(left, top, width, height), Qt::white);
    p.fillRect(QRectF(left, top, width, 2), QColor(58, 132, 222));
    p.fillRect(QRectF(left + width, top, 1, height), shade);
    p.fillRect(QRectF(left + 2 * width, top + 4, 1, height - 8), shade);
    p.fillRect(QRectF(left + 2 * width + 1, top + 4, 1, height - 8), Qt::white);

    const Glyphs::Kind kinds[] = {Glyphs::Person, Glyphs::Group, Glyphs::Clock};
    for (int i = 0; i < 3; ++i) {
        const QColor ink = i == 0 ? QColor(48, 122, 214) : QColor(104, 124, 154);
        const QRectF box(left + i * width + (width - 16) / 2, top + 5, 16, 16);
        Glyphs::draw(p, kinds[i], box, ink, Qt::white);
    }
}

void drawSideColumn(QPainter &p)
{
    p.fillRect(QRectF(LeftLineX + 1, 57, ListArea.left() - LeftLineX - 1, PanelBottom - 57 + 1),
               FrameBlue);
    const Glyphs::Kind kinds[] = {Glyphs::Chat, Glyphs::Envelope, Glyphs::Star, Glyphs::Folder,
                                  Glyphs::Note, Glyphs::Picture,  Glyphs::Gear};
    const QColor hues[] = {QColor(246, 132, 52), QColor(58, 142, 226), QColor(240, 180, 30),
                           QColor(76, 172, 92),  QColor(218, 84, 138), QColor(128, 104, 214),
                           QColor(104, 124, 148)};
    for (int i = 0; i < 7; ++i) {
        const QRectF tile(110.5, 59.5 + 30 * i, 25, 25);
        QLinearGradient face(0, tile.top(), 0, tile.bottom());
        face.setColorAt(0.0, hues[i].lighter(128));
        face.setColorAt(1.0, hues[i]);
        p.setPen(QPen(hues[i].darker(135), 1));
        p.setBrush(face);
        p.drawRoundedRect(tile, 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 54));
        p.drawRoundedRect(QRectF(tile.left() + 1, tile.top() + 1, tile.width() - 2, 11), 4, 4);
        Glyphs::draw(p, kinds[i], QRectF(tile.left() + 4.5, tile.top() + 4.5, 16, 16), Qt::white,
                     hues[i]);
    }
}

// A collapsed group's arrow, set pixel by pixel at the output resolution: `scale` pixels
// per logical pixel, 5 logical pixels wide and 9 high, its point on the middle row.
void drawRowArrow(QPainter &p, int scale, int left, int top)
{
    const int height = 9 * scale;
    const int width = 5 * scale;
    const int half = (height + 1) / 2;
    p.save();
    p.resetTransform();
    for (int row = 0; row < height; ++row) {
        const int fromEnd = qMin(row, height - 1 - row);
        const int span = ((fromEnd + 1) * width + half - 1) / half;
        p.fillRect(QRect(left * scale, top * scale + row, span, 1), RowArrow);
    }
    p.restore();
}

void drawList(QPainter &p, const TextOutline &font, int scale)
{
    p.fillRect(ListArea, ListWhite);
    p.fillRect(QRect(ListArea.right() + 1, ListArea.top(), 1, ListArea.height()),
               QColor(208, 222, 242));
    for (int row = 0; row < RowCount; ++row)
        drawRowArrow(p, scale, ArrowLeft, FirstArrowTop + row * RowPitch);
    TextOutline::fillSharpened(p, font.fittedTo(QStringLiteral(u"我的好友"), 12, TitleInkBox),
                               TitleInk, 1.4);
}

void drawFrameAndLines(QPainter &p)
{
    using BA = BackgroundArt;
    p.fillRect(QRect(0, 0, BA::Width, FrameWidth), FrameBlue);
    p.fillRect(QRect(0, BA::Height - FrameWidth, BA::Width, FrameWidth), FrameBlue);
    p.fillRect(QRect(0, 0, FrameWidth, BA::Height), FrameBlue);
    p.fillRect(QRect(BA::Width - FrameWidth, 0, FrameWidth, BA::Height), FrameBlue);
    const int length = PanelBottom - PanelTop + 1;
    p.fillRect(QRect(LeftLineX, PanelTop, 1, length), PanelLine);
    p.fillRect(QRect(RightLineX, PanelTop, 1, length), PanelLine);
}

} // namespace

QImage BackgroundArt::render(const TextOutline &font, int scale)
{
    QImage image(Width * scale, Height * scale, QImage::Format_RGB32);
    image.fill(FrameBlue);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);

    drawSky(p);
    drawClouds(p);
    drawMark(p);
    drawToolbar(p);
    drawSearchField(p, font);
    drawTabs(p);
    drawSideColumn(p);
    drawList(p, font, scale);
    // Last, so that no soft edge of the decoration can stray onto the fixed geometry.
    drawFrameAndLines(p);
    return image;
}
