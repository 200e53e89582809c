// SPDX-License-Identifier: MIT
#include "Picture.h"

#include <QFileInfo>
#include <QPainter>
#include <QWidget>

namespace {
QPixmap load(const QString &path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        const QFileInfo file(path);
        const QString doubled = file.path() + QLatin1Char('/') + file.completeBaseName() +
                                QLatin1String("@2x.") + file.suffix();
        // Loaded by its own name, the @2x file carries a device pixel ratio of 2.
        QPixmap pixmap(doubled);
        if (!pixmap.isNull())
            return pixmap;
    }
    return QPixmap(path);
}
} // namespace

void Picture::setPath(const QString &path)
{
    m_path = path;
    m_pixmap = QPixmap();
    m_pixmapRatio = 0;
}

QSize Picture::size() const
{
    return QPixmap(m_path).size();
}

void Picture::paint(QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    if (m_pixmapRatio != ratio) {
        m_pixmap = load(m_path, ratio);
        m_pixmapRatio = ratio;
    }
    QPainter painter(widget);
    // At fractional ratios the @2x picture is scaled down, which wants smoothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_pixmap.devicePixelRatio() != ratio);
    painter.drawPixmap(0, 0, m_pixmap);
}
