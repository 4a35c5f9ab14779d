#pragma once
// The titler roster on the "Titler Names" tab: names, enabled titlers and older firmware.

class QWidget;
class Zelk;
#include <QString>

class Roster
{
public:
    explicit Roster(Zelk& z);
    // The contents of the "Titler Names" tab.
    QWidget* buildPanel(QWidget* parent);

private:
    Zelk& z_;
};
