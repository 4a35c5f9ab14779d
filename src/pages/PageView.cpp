#include "PageView.h"

#include "app/Zelk.h"

#include <QWidget>

PageView::PageView(Zelk& z) : z_(z)
{
    z_.pageView = this;
}

QWidget* PageView::buildNavigation(QWidget* parent)
{
    return new QWidget(parent);
}

void PageView::ShowPage()
{
}
