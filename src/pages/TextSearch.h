#pragma once
// The search box of the "Text Editor" tab: finds the pages whose lines contain a text and steps through them, one
// page a press, back to the first after the last. The search text is kept in the table.

#include <QList>
#include <QObject>
#include <QString>

class PageTable;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class Zelk;

// Pages 1..99, ascending, with a line that contains text (case ignored); each page once.
QList<int> findPages(const PageTable& table, const QString& text);

class TextSearch : public QObject
{
public:
    explicit TextSearch(Zelk& z);

    // Fills the frame fraFind ("Search For Text").
    void buildInto(QGroupBox* frame);

    void txtSearchText_Change();
    // True when the key is dropped or used up.
    bool txtSearchText_KeyPress(QKeyEvent* key);
    void cmdFind_Click();
    void FindAll();
    void GoToNextMatch();

    qint16 MatchCount = 0;
    qint16 CurrentMatch = 0;
    QList<int> MatchPages;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pasteFiltered();

    Zelk& z_;
    QLineEdit* txtSearchText_ = nullptr;
    QPushButton* cmdFind_ = nullptr;
    QLabel* lblFindStatus_ = nullptr;
};
