#pragma once
// The File menu: saving the whole table as a page file (".zlk"), opening one again, and importing page lines from a
// text file (".txt"). A file that cannot be read never changes anything; what went wrong is told to the operator.

#include <QObject>
#include <QString>

class QWidget;
class Zelk;

class PageFile : public QObject
{
public:
    explicit PageFile(Zelk& z);

    // Gives mnuFileOpen and mnuFileSave of the window their actions.
    void connectMenus(QWidget* window);

    void mnuFileOpen_Click();
    void mnuFileSave_Click();

    // Reads a page file into a copy of the table and applies it only when the file could be read. False when
    // nothing changed; the message then ends with alsoNotDone (" No pages were sent.").
    bool OpenPageFile(const QString& path, const QString& alsoNotDone = QString());
    // Puts the lines of a text import file into their pages. False when the file could not be read.
    bool ImportTextFile(const QString& path);

private:
    QString dialogFolder() const;
    void tell(const QString& text);

    Zelk& z_;
};
