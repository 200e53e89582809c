// SPDX-License-Identifier: MIT
#include "PictureBox.h"

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    // The picture is opaque: nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QString &path)
{
    m_picture.setPath(path, devicePixelRatioF());
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    m_picture.paint(this);
}
