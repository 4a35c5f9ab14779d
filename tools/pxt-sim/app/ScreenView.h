#pragma once
// Paints one titler's picture: a stand-in video picture with the titler's overlay on it, as screenPicture() lays it
// out.

#include "pxtsim/ScreenPicture.h"

#include <QWidget>

class ScreenView : public QWidget
{
public:
    explicit ScreenView(QWidget* parent = nullptr);
    void setPicture(const pxtsim::ScreenPicture& picture);
    QSize sizeHint() const override { return {560, 420}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF pictureRect() const; // the largest 4:3 area in the widget, centred

    pxtsim::ScreenPicture picture_;
    QFont font_;
};
