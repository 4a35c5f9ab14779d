#include "UpDown.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize UpDown::sizeHint() const
{
    return {17, 22};
}

QSize UpDown::minimumSizeHint() const
{
    return {13, 16};
}

void UpDown::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton b;
        b.initFrom(this);
        b.rect = halves[i];
        const bool down = pressed_ == (i == 0 ? Half::Upper : Half::Lower);
        b.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &b, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        if (down)
            arrow.rect.translate(1, 1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    }
}

void UpDown::mousePressEvent(QMouseEvent* e)
{
    const int y = qRound(e->position().y());
    pressed_ = y < height() / 2 ? Half::Upper : Half::Lower;
    update();
    // The owner may keep stepping inside this call until the button is let go.
    emit mouseDown(y);
}

void UpDown::mouseReleaseEvent(QMouseEvent*)
{
    pressed_ = Half::None;
    update();
    emit mouseUp();
}

void UpDown::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled() && pressed_ != Half::None) {
        pressed_ = Half::None;
        update();
    }
    QWidget::changeEvent(e);
}
