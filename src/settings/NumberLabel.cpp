#include "NumberLabel.h"

void NumberLabel::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    emit changed();
}
