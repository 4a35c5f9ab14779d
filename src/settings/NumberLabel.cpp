#include "NumberLabel.h"

NumberLabel::NumberLabel(const QString& text, QWidget* parent) : QLabel(text, parent), seen_(text)
{
    // Even a hidden label must keep telling its layout, or a change made while hidden would go unnoticed.
    QSizePolicy p = sizePolicy();
    p.setRetainSizeWhenHidden(true);
    setSizePolicy(p);
}

void NumberLabel::checkText()
{
    if (text() == seen_)
        return;
    seen_ = text();
    emit changed();
}

NumberLabelRow::NumberLabelRow(QWidget* parent, NumberLabel* label) : QHBoxLayout(parent), label_(label)
{
    addWidget(label);
}

void NumberLabelRow::invalidate()
{
    QHBoxLayout::invalidate();
    // Also called for reasons of its own (a resize, a sibling): only a caption that really changed counts.
    if (label_)
        label_->checkText();
}
