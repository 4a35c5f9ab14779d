#pragma once
// The status line under the tabs: link state, port information and progress of the last operation, and the firmware
// generation of the titler on screen.

#include "link/StatusRules.h"

class QWidget;
class QLabel;
class LinkWatch;
class Zelk;

class StatusLine
{
public:
    StatusLine(Zelk& z, QWidget* parent);

    QWidget* widget() const { return widget_; }

    void ShowStatus(int code);
    // A port that failed to open, went away or stalled: "Offline" and "Invalid CommPort" in red at once, even while a
    // running send keeps the rest of the status line still, and whatever titler is on screen.
    void showPortUnavailable();
    // The closing status of a sequence: its own code, or the unavailable port when the link was lost on the way (a
    // send that lost its line has not sent the rest).
    void showDone(int code, const LinkWatch& link);
    // Sets the caption of lblVerStatus and runs its change handling.
    void setVerStatus(const QString& caption);
    void lblVerStatus_Change();
    // A note in the progress panel (with the whole story in its tooltip) until the next progress replaces it.
    void showNote(const QString& text, const QString& detail);

private:
    void show(int code, bool portUnavailable);
    void paint(const StatusPanels& p);

    Zelk& z_;
    QWidget* widget_;
    StatusPanels panels_;
    QString note_, noteDetail_; // the note in the progress panel and its tooltip
};
