// SPDX-License-Identifier: MIT
#include "PictureButton.h"

#include <QMouseEvent>

PictureButton::PictureButton(QWidget *parent) : QAbstractButton(parent)
{
    // Like the picture it is, it takes no keyboard focus.
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPicture(const QString &path)
{
    m_picture.setPath(path, devicePixelRatioF());
    updateGeometry();
    update();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    m_picture.paint(this);
}

void PictureButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // QAbstractButton would take the double click as a second press and click again.
    event->accept();
}
