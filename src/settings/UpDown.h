#pragma once
// An up/down spinner: two arrow buttons stacked in one narrow control. It only reports where it was pressed and when
// it was let go; what a step does is the owner's business.

#include <QWidget>

class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // y is the pressed point's vertical coordinate inside the control.
    void mouseDown(int y);
    void mouseUp();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    enum class Half { None, Upper, Lower };
    Half pressed_ = Half::None;
};
