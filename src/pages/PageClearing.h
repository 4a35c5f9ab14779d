#pragma once
// Clearing titlers ("Clear PXT"), clearing pages ("Clear Editor") and cloning the page on view to a range of pages
// ("Clone", "Clone && Send"), with the range boxes they share with the page send: whichever group chose "Range"
// last owns the boxes, and each group keeps its own range in the table.

#include <QObject>
#include <QString>

class LinkWatch;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class Zelk;

class PageClearing : public QObject
{
public:
    explicit PageClearing(Zelk& z);

    // The "Clear PXT", "Clear Editor" and "Clone" frames of the "Text Editor" tab.
    QWidget* buildPanel(QWidget* parent);
    // Takes the key presses and focus changes of the shared range boxes (built with the page send).
    void attachRangeBoxes();

    void cmdClearPxt_Click();
    void cmdClearEditor_Click();
    void cmdClonePage_Click();
    void cmdClonePageSend_Click();
    void optClearRangeEditors_Click();
    void optClearRangePxt_Click();
    void optClonePage_Click();
    // The other six clear options.
    void optClearOther_Click();

    // scope: "Current", "Selected", "Range" or "All".
    void ClearTitlers(const QString& scope);
    void ClearEditors(const QString& scope);

    // True when the key is dropped.
    bool txtRange_KeyPress(QLineEdit* box, QKeyEvent* key);
    void txtRange_LostFocus(QLineEdit* box);

    // The clone option's click after a table file is read: it takes the range boxes.
    void clickClonePage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Names of a clear group's controls; the frame and the button share the caption.
    struct ClearGroup
    {
        const char* frame;
        const char* caption;
        const char* options[4]; // "Current", "All", "Selected", "Range"
        const char* button;
    };
    QGroupBox* buildClearGroup(QWidget* parent, const ClearGroup& names, QRadioButton** options[4],
                               QPushButton*& button, void (PageClearing::*rangeClick)(),
                               void (PageClearing::*buttonClick)());
    void onChosen(QRadioButton* option, void (PageClearing::*handler)());
    QGroupBox* buildClearPxt(QWidget* parent);
    QGroupBox* buildClearEditor(QWidget* parent);
    QGroupBox* buildClone(QWidget* parent);
    void setCloneButtons(bool sendToo, bool cloneToo);
    // The range boxes go to owner's group in mode; the other groups' range options let go of them.
    void takeRangeBoxes(const QRadioButton* owner, const QString& mode);
    void showStatus(int code);
    // A clear run ends on "Stop", on the window closing, and when the link it started with goes down.
    bool stopped(const LinkWatch& link) const;
    void sendClear(const QString& address);
    void clearPageLines(int page, bool continuous);
    int rangeValue(const QLineEdit* box, const QString& what) const;

    Zelk& z_;
    QRadioButton *optClearCurPxt_ = nullptr, *optClearAllPxt_ = nullptr, *optClearSelPxt_ = nullptr,
                 *optClearRangePxt_ = nullptr;
    QRadioButton *optClearCurEditor_ = nullptr, *optClearAllEditors_ = nullptr, *optClearSelEditors_ = nullptr,
                 *optClearRangeEditors_ = nullptr;
    QRadioButton* optClonePage_ = nullptr;
    QPushButton *cmdClearEditor_ = nullptr, *cmdClonePage_ = nullptr, *cmdClonePageSend_ = nullptr;
    bool cloneSending_ = false;
};
