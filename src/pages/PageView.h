#pragma once
// The page on view: ShowPage loads a page of the table into the controls; the page buttons and the page box move between pages 1..99.

class QWidget;
class Zelk;
#include <QString>

class PageView
{
public:
    explicit PageView(Zelk& z);
    // Page number box and page buttons, for the panel under the tabs.
    QWidget* buildNavigation(QWidget* parent);
    void ShowPage();

private:
    Zelk& z_;
};
