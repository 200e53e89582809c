// SPDX-License-Identifier: MIT
#pragma once

#include "Picture.h"

#include <QAbstractButton>

// A picture that acts as a button: no border, the control's size is its picture's, and
// one click runs the action once; the second click of a double click does nothing.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)

public:
    explicit PictureButton(QWidget *parent = nullptr);

    QString picture() const { return m_picture.path(); }
    void setPicture(const QString &path);

    QSize sizeHint() const override { return m_picture.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    Picture m_picture;
};
