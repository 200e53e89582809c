// SPDX-License-Identifier: MIT
#include "Picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QWidget>

#include <system_error>

QImage Picture::decode(const QString &path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        const QFileInfo file(path);
        const QString doubled = file.path() + QLatin1Char('/') + file.completeBaseName() +
                                QLatin1String("@2x.") + file.suffix();
        // Read by its own name, the @2x file carries a device pixel ratio of 2.
        QImage image = QImageReader(doubled).read();
        if (!image.isNull())
            return image;
    }
    return QImageReader(path).read();
}

void Picture::setPath(const QString &path, qreal devicePixelRatio)
{
    m_path = path;
    m_pixmap = QPixmap();
    m_pixmapRatio = 0;
    m_decoding = {};
    try {
        m_decoding = std::async(std::launch::async, [path, devicePixelRatio] {
            return decode(path, devicePixelRatio);
        });
        m_decodingRatio = devicePixelRatio;
    } catch (const std::system_error &) {
        // No thread to spare: the first paint decodes.
    }
}

QSize Picture::size() const
{
    // The header is enough.
    return QImageReader(m_path).size();
}

void Picture::paint(QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    if (m_pixmapRatio != ratio) {
        QImage image = m_decoding.valid() && m_decodingRatio == ratio ? m_decoding.get()
                                                                      : decode(m_path, ratio);
        m_decoding = {};
        m_pixmap = QPixmap::fromImage(std::move(image));
        m_pixmapRatio = ratio;
    }
    QPainter painter(widget);
    // At fractional ratios the @2x picture is scaled down, which wants smoothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_pixmap.devicePixelRatio() != ratio);
    painter.drawPixmap(0, 0, m_pixmap);
}
