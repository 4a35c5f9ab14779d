#pragma once
// Loop Screens: the pages from the start page to the end page shown in the editor and sent to their titlers, one
// page per on period, starting again after the end page or stopping; the range boxes, the Loop box and the status
// panel that names the page and titler being sent.

#include <QObject>
#include <QString>

class Effects;
class DigitBoxes;
class QLineEdit;
struct EffectsUi;
class Zelk;

class PageLooping : public QObject
{
    Q_OBJECT
public:
    PageLooping(Zelk& z, Effects& fx);

    void connectControls();

    // The on action: shows and sends `page`, or with 0 the page after the last one shown.
    void LoopShowPage(qint16& page);
    // The off action: the preview is emptied and the status line runs again; nothing is sent.
    void LoopPause();
    void LoopSetup();

    void optLooping_Click();
    void txtStartPage_Change();
    void txtEndPage_Change();
    void updStartPage_Step(const QString& direction);
    void updEndPage_Step(const QString& direction);
    void chkLoop_Click();

    qint16 LastLoopPage = 0;

private:
    void showStatusPanel(bool enabled, const QColor& border);
    void showClamped(QLineEdit* box, const QString& shown);
    int endPage() const;

    Zelk& z_;
    Effects& fx_;
    EffectsUi& ui_;
    DigitBoxes* digits_ = nullptr;
    bool showing_ = false; // a range box is being given its clamped number
};
