#pragma once
// The page's display settings on the "Setup" tab: option buttons, positions and formats, and their sending.

class QWidget;
class Zelk;
#include <QString>

class DisplaySettings
{
public:
    explicit DisplaySettings(Zelk& z);
    // The contents of the "Setup" tab.
    QWidget* buildPanel(QWidget* parent);

private:
    Zelk& z_;
};
