#include "LineEditor.h"

#include "app/Zelk.h"

#include <QWidget>

LineEditor::LineEditor(Zelk& z) : z_(z)
{
    z_.editor = this;
}

QWidget* LineEditor::buildPanel(QWidget* parent)
{
    return new QWidget(parent);
}
