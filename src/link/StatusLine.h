#pragma once
// The status line under the tabs: link state, port information and progress of the last operation, and the firmware
// generation of the titler on screen.

#include "link/StatusRules.h"

class QWidget;
class QLabel;
class Zelk;

class StatusLine
{
public:
    StatusLine(Zelk& z, QWidget* parent);

    QWidget* widget() const { return widget_; }

    void ShowStatus(int code);
    // A lost or stalled link shows at once, even while a running send keeps the rest of the status line still.
    void showLinkLost();
    // Sets the caption of lblVerStatus and runs its change handling.
    void setVerStatus(const QString& caption);
    void lblVerStatus_Change();
    // A note in the progress panel (with the whole story in its tooltip) until the next progress replaces it.
    void showNote(const QString& text, const QString& detail);

private:
    void show(const StatusPanels& p);

    Zelk& z_;
    QWidget* widget_;
    StatusPanels panels_;
    QString note_, noteDetail_; // the note in the progress panel and its tooltip
};
