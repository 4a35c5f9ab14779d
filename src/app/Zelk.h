#pragma once
// The state the whole window shares: the page table, the form-level flags, the named controls and the subsystems.
// Every part of the program holds a reference to the one Zelk object of its window; there are no globals.

#include "core/Seams.h"
#include "pages/PageTable.h"

#include <QString>
#include <array>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class NumberLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTimer;
class QToolBar;
class QWidget;

class CommandProtocol;
class SerialLink;
class StatusLine;
class PageView;
class Shell;
class SettingsFile;
class Transmission;
class LineEditor;
class DisplaySettings;
class Adjusters;
class Roster;
class UpDown;
class TitlerClock;
class ClockPreview;
// Page files, clearing and cloning, clipboard and alignment, text search
class PageFile;
class PageClearing;
class EditorClipboard;
class TextSearch;
class Effects;
// The as-run log and the orders of a second start or of automation
class AsRunLog;
class Orders;

// Arrays indexed as the controls are numbered: txtMain[1]..txtMain[9]; index 0 unused where numbering starts at 1.
template <typename T, int N> using Controls = std::array<T*, N>;

struct Ui
{
    QWidget* frmZELK = nullptr;
    QTabBar* tabMain = nullptr;
    Controls<QFrame, 7> framain{};
    QToolBar* tbMain = nullptr;

    // System Setup: port and speed
    Controls<QRadioButton, 5> optCommPort{};
    QRadioButton* optWorkOffline = nullptr;
    QRadioButton* opt38400Baud = nullptr;
    QRadioButton* opt9600Baud = nullptr;
    QRadioButton* opt4800Baud = nullptr;
    QPushButton* cmdAutoDetect = nullptr;
    QLabel* lblPortStatus = nullptr;
    QLabel* lblPXTStatusInfo = nullptr;

    // Status line
    Controls<QLabel, 4> lblProgStatus{};
    QLabel* lblVerStatus = nullptr;

    // Page view
    QLineEdit* txtPageNumber = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLabel* lblTitlerName = nullptr;
    QCheckBox* chkPagSel = nullptr;
    Controls<QLineEdit, 10> txtMain{};
    Controls<QLabel, 10> lblLineNum{};
    QLabel* lblTypeMode = nullptr; // "OVERTYPE" or "INSERT"

    // Transmission
    QPushButton* cmdSend = nullptr;
    QRadioButton* optSendCur = nullptr;
    QRadioButton* optSendAll = nullptr;
    QRadioButton* optSendSel = nullptr;
    QRadioButton* optSendRange = nullptr;
    QRadioButton* optSendContinuous = nullptr;
    QRadioButton* optSendEOL = nullptr;
    QRadioButton* optSendManual = nullptr;
    QLineEdit* txtRangeFrom = nullptr;
    QLineEdit* txtRangeTo = nullptr;
    QGroupBox* fraSendPxt = nullptr;
    QGroupBox* fraSendMode = nullptr;
    QGroupBox* fraFind = nullptr; // "Search For Text"
    // Clock and calendar previews over the editor; the second of each pair continues on the next row.
    QLineEdit *txtTimeDisplay = nullptr, *txtTimeDisplay2 = nullptr;
    QLineEdit *txtDateDisplay = nullptr, *txtDateDisplay2 = nullptr;

    // Setup tab: display settings, positions and formats
    QRadioButton *optDisplayOn = nullptr, *optDisplayOff = nullptr;
    QRadioButton *optBackgroundOn = nullptr, *optBackgroundOff = nullptr;
    QRadioButton *optTimeOn = nullptr, *optTimeOff = nullptr;
    QRadioButton *optDateOn = nullptr, *optDateOff = nullptr;
    QRadioButton *optCharWhite = nullptr, *optCharBlack = nullptr;
    QRadioButton *optContrastLow = nullptr, *optContrastMed = nullptr, *optContrastHi = nullptr;
    QRadioButton *optVSize1x = nullptr, *optVSize2x = nullptr, *optVSize3x = nullptr, *optVSize4x = nullptr;
    QRadioButton *optVSize1s = nullptr, *optVSize2s = nullptr;
    QRadioButton *optHSize1x = nullptr, *optHSize2x = nullptr, *optHSize3x = nullptr, *optHSize4x = nullptr;
    // Number labels announce every change of their caption (NumberLabel::setText).
    NumberLabel *lblVPos = nullptr, *lblHPos = nullptr, *lblTimePos = nullptr, *lblDatePos = nullptr;
    NumberLabel *lblTimeFormat = nullptr, *lblDateFormat = nullptr;
    UpDown *updVPos = nullptr, *updHPos = nullptr, *updTimePos = nullptr, *updDatePos = nullptr;
    UpDown *updTimeFormat = nullptr, *updDateFormat = nullptr;
    QLabel *lblTimeFormatEx = nullptr, *lblDateFormatEx = nullptr;

    // Buttons that EnableSendControls and the online look switch
    QPushButton *cmdCloneSettingsSend = nullptr, *cmdSendSettings = nullptr, *cmdSendAllSettings = nullptr;
    QPushButton *cmdStart = nullptr, *cmdClearPxt = nullptr, *cmdIdentify = nullptr;
    QPushButton *cmdSetDatePC = nullptr, *cmdSetTimePC = nullptr;

    // Roster
    QListWidget* lstTitlerNames = nullptr;
    QListWidget* lstTitlerVersion = nullptr;

    // Timers
    QTimer* tmrTime = nullptr;
    QTimer* tmrBlink = nullptr;
    QTimer* tmrOnMin = nullptr;
    QTimer* tmrOffMin = nullptr;
    QTimer* tmrOnSec = nullptr;
    QTimer* tmrOffSec = nullptr;
};

class Zelk
{
public:
    PageTable table;
    Ui ui;
    Dialogs dialogs;
    Clock clock;
    // The desktop's document viewer, for the manual.
    Desktop desktop;

    // Form-level flags
    bool EventsSuppressed = false;
    bool PageRefreshing = false;
    bool EditorLoading = false;
    bool SettingsLoading = false;
    bool LinkOnline = false;
    bool TransmissionActive = false;
    bool SendStopRequested = false;
    bool StopRequested = false;
    bool SkipClearPause = false;
    bool OldFirmwareTitler = false;
    bool ClockReadFailed = false;
    bool OvertypeMode = true;
    bool SpinnerHeld = false;    // a mouse button is held on a position or format spinner
    bool TimePosKeyMode = false; // Alt+T held: the arrow keys move the time position
    bool DatePosKeyMode = false; // Alt+D held: the arrow keys move the date position

    // Port auto-detection: the scan owns the port while it runs, so the clock tick's presence check keeps off it.
    bool PortScanActive = false;

    // Form-level values
    qint16 CurrentPageBase = 100;
    qint16 CurrentLine = 1;
    int LastEditLine = 1;
    qint16 CommPortNumber = 1;
    qint16 LastStatus = 0;
    QString CommandPrefix = QString(QChar(27));
    QString SavedPageNumber;
    QString FilePath;

    // Subsystems, set as the window assembles them; null where a test builds only part of the program.
    CommandProtocol* protocol = nullptr;
    SerialLink* link = nullptr;
    StatusLine* status = nullptr;
    PageView* pageView = nullptr;
    Shell* shell = nullptr;
    SettingsFile* settingsFile = nullptr;
    Transmission* transmission = nullptr;
    LineEditor* editor = nullptr;
    DisplaySettings* displaySettings = nullptr;
    Adjusters* adjusters = nullptr;
    Roster* roster = nullptr;
    // Clock and calendar: the titler's time and date questions, and the previews over the editor grid.
    TitlerClock* titlerClock = nullptr;
    ClockPreview* clockPreview = nullptr;
    // Page files, clearing and cloning, clipboard and alignment, text search
    PageFile* pageFile = nullptr;
    PageClearing* clearing = nullptr;
    EditorClipboard* clipboard = nullptr;
    TextSearch* search = nullptr;
    // Effects: the sequencer, random motion, page looping and broadcast mode
    Effects* effects = nullptr;
    // The as-run log and the orders of a second start or of automation
    AsRunLog* asRun = nullptr;
    Orders* orders = nullptr;

    // Keeps the last run-time failure in the error slots and tells a field engineer on standard error.
    void RecordError(int number, const QString& source);
    int errorsRecorded = 0; // how many failures this run has recorded

    int currentPage() const { return CurrentPageBase / 100; }
    int pageSlot(int k) const { return CurrentPageBase + k; }
};
