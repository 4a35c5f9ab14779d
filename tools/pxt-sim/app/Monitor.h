#pragma once
// The monitor window of `pxt-sim --monitor`: what the chosen titler shows, its settings, and the frames as they
// arrive. The simulator runs in the window's event loop.

#include "SimLoop.h"

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class ScreenView;

class MonitorWindow : public QWidget
{
public:
    explicit MonitorWindow(Simulator& simulator, const pxtsim::AddressSet& played);

    void framesLogged(const QStringList& lines);

private:
    int chosenTitler() const;
    void refresh();

    Simulator& simulator_;
    QComboBox* titlers_;
    QCheckBox* follow_;
    ScreenView* screen_;
    QLabel* settings_;
    QListWidget* frames_;
    bool framesAtEnd_ = true;
    QTimer tick_; // the clock and calendar run on between frames
};

// Runs the simulator with its monitor window; returns the exit code. Closing the window ends the simulator.
int runMonitor(const SimOptions& options);
