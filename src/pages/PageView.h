#pragma once
// The page on view: ShowPage loads a page of the table into the controls; the page buttons and the page box move
// between pages 1..99.

#include <QObject>
#include <QString>

class QWidget;
class Zelk;

// The six page buttons.
enum class PageStep { Next, Prev, Forward10, Back10, First, Last };

// What a page button writes into the page box when page p is on view: plain digits, possibly outside 1..99 (ShowPage
// brings the number into range).
QString steppedPageText(PageStep step, int p);

class PageView : public QObject
{
public:
    explicit PageView(Zelk& z);

    // Page number box and page buttons, for the page bar under the editor.
    QWidget* buildNavigation(QWidget* parent);
    // The "Selected" tick of the page on view.
    QWidget* buildSelectedTick(QWidget* parent);

    void ShowPage();

    void cmdPrevPage_Click();
    void cmdNextPage_Click();
    void cmdPgScrollRev_MouseDown();
    void cmdPgScrollFwd_MouseDown();
    void cmdFirstPage_Click();
    void cmdLastPage_Click();
    void txtPageNumber_GotFocus();
    void txtPageNumber_Change();
    void txtPageNumber_LostFocus();
    void chkPagSel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(PageStep s);
    void loadPage();
    void showAddress(const QString& address);
    void selectOptions();

    Zelk& z_;
    int depth_ = 0; // ShowPage yields; a page shown from inside that yield must not end the outer one's guard
};
