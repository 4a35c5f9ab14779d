#include "Transmission.h"

#include "app/Zelk.h"

#include <QWidget>

Transmission::Transmission(Zelk& z) : z_(z)
{
    z_.transmission = this;
}

QWidget* Transmission::buildAddressBox(QWidget* parent)
{
    return new QWidget(parent);
}

QWidget* Transmission::buildSendPanel(QWidget* parent)
{
    return new QWidget(parent);
}

void Transmission::RestoreEditorPreferences()
{
}

void Transmission::SendPages(const QString&, const QString&)
{
}

void Transmission::SetTimePreviewVisible(const QString&)
{
}

void Transmission::SetDatePreviewVisible(const QString&)
{
}
