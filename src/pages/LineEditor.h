#pragma once
// The nine-line, twenty-column editor of the page on view.

class QWidget;
class Zelk;
#include <QString>

class LineEditor
{
public:
    explicit LineEditor(Zelk& z);
    // The editor grid of the "Text Editor" tab.
    QWidget* buildPanel(QWidget* parent);

private:
    Zelk& z_;
};
