#include "Roster.h"

#include "app/Zelk.h"

#include <QWidget>

Roster::Roster(Zelk& z) : z_(z)
{
    z_.roster = this;
}

QWidget* Roster::buildPanel(QWidget* parent)
{
    return new QWidget(parent);
}
