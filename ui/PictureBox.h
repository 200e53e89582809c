// SPDX-License-Identifier: MIT
#pragma once

#include "Picture.h"

#include <QWidget>

// A container that shows a picture behind its children.
class PictureBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    QString picture() const { return m_picture.path(); }
    void setPicture(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Picture m_picture;
};
