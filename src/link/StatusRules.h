#pragma once
// What the status line shows after a status code: the link state (panel 1), port information (panel 2) and progress
// (panel 3). Pure logic, so the decision table can be checked without a window.

#include <QString>

enum class PanelColour { Unchanged, Green, Red, Yellow };

struct StatusPanels
{
    QString text[4];                 // panels 1..3 (index 0 unused)
    PanelColour colour[4] = {};      // text colour of panels 1..3
    qint16 lastStatus = 0;           // the last link-state code shown: 0, 1, 8, 9 or 16
};

struct StatusInputs
{
    bool workOffline = false;        // "Work Offline" is selected
    bool clockTimerEnabled = false;
    bool screenTitlerEnabled = true; // the titler in the address box is enabled
    bool linkOnline = false;
    int commPortNumber = 1;
    bool portUnavailable = false;    // the port failed to open or was lost: shown whoever is on screen
};

struct StatusEffects
{
    bool enableSendButtons = false;  // the online look enables the sending controls
    bool enableClockTimer = false;
};

// Applies one status code to the panels (the caller has already checked EventsSuppressed and TransmissionActive).
StatusEffects applyStatusCode(StatusPanels& panels, int code, const StatusInputs& in);
