#include "DisplaySettings.h"

#include "app/Zelk.h"

#include <QWidget>

DisplaySettings::DisplaySettings(Zelk& z) : z_(z)
{
    z_.displaySettings = this;
}

QWidget* DisplaySettings::buildPanel(QWidget* parent)
{
    return new QWidget(parent);
}
