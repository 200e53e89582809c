// SPDX-License-Identifier: MIT
#include "TextOutline.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTransform>

TextOutline::TextOutline(const QString &fontFile)
{
    QFile file(fontFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    m_fontData = file.readAll();
    m_valid = QRawFont(m_fontData, 12, QFont::PreferNoHinting).isValid();
}

QPainterPath TextOutline::path(const QString &text, qreal pixelSize) const
{
    QPainterPath result;
    const QRawFont font(m_fontData, pixelSize, QFont::PreferNoHinting);
    if (!font.isValid())
        return result;
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances =
        font.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    QPointF pen;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        result.addPath(font.pathForGlyph(glyphs.at(i)).translated(pen));
        if (i < advances.size())
            pen += advances.at(i);
    }
    return result;
}

QPainterPath TextOutline::centredAt(const QString &text, qreal pixelSize, QPointF centre) const
{
    const QPainterPath outline = path(text, pixelSize);
    return outline.translated(centre - outline.boundingRect().center());
}

QPainterPath TextOutline::fittedTo(const QString &text, qreal pixelSize, const QRectF &box) const
{
    const QPainterPath outline = path(text, pixelSize);
    const QRectF ink = outline.boundingRect();
    if (ink.isEmpty())
        return outline;
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / ink.width(), box.height() / ink.height());
    fit.translate(-ink.left(), -ink.top());
    return fit.map(outline);
}

void TextOutline::fillSharpened(QPainter &painter, const QPainterPath &outline, const QColor &ink,
                                qreal gain)
{
    const QPainterPath onDevice = painter.combinedTransform().map(outline);
    const QRect area = onDevice.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (area.isEmpty())
        return;
    QImage coverage(area.size(), QImage::Format_Alpha8);
    coverage.fill(0);
    QPainter mask(&coverage);
    mask.setRenderHint(QPainter::Antialiasing);
    mask.translate(-area.topLeft());
    mask.fillPath(onDevice, Qt::black);
    mask.end();

    QImage tinted(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < area.height(); ++y) {
        const uchar *from = coverage.constScanLine(y);
        auto *to = reinterpret_cast<QRgb *>(tinted.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const int alpha = qMin(255, qRound(from[x] * gain)) * ink.alpha() / 255;
            to[x] = qPremultiply(qRgba(ink.red(), ink.green(), ink.blue(), alpha));
        }
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(area.topLeft(), tinted);
    painter.restore();
}
