#pragma once
// The window's frame: start-up and shutdown in their order, the tabs, the 100 ms clock tick, the help document and
// the shared check of typed numbers.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;
class QMainWindow;
class Zelk;

class Shell : public QObject
{
    Q_OBJECT
public:
    Shell(Zelk& z, QMainWindow& window);
    ~Shell() override;

    // Start-up. Returns false when another copy of the program already runs with the same settings folder: the
    // caller then ends at once without touching anything.
    bool Form_Load(const QStringList& arguments);
    // Shutdown: stop effect and send, save "ZELK.ini", suppress events, stop the timers. Runs once. When the save
    // fails and an operator closed the window, they are asked first; false means they chose to keep ZELK open.
    bool Form_Unload();
    bool unloaded() const { return unloaded_; }
    // The next close comes from a termination signal: nobody is there to answer a question.
    void setUnattendedClose() { unattended_ = true; }

    void TabSwitch(int index);
    int selectedTab() const; // 1..5
    void tmrTime_Timer();
    void mnuHelp_Click();

    // Checks a typed number against min..max; out of range shows the range message and gives back the slot's value.
    QString ValidateNumber(QString& value, qint16 max, qint16 min, const QString& width, int slotIndex,
                           int messageCode);
    void ShowRangeError(int messageCode, qint16 max, qint16 min);

    // The settings folder, ending in a separator.
    static QString GetAppPath();

    // Reads the page file named on the command line and sends all its pages, or tells the operator why not.
    void openCommandLineFile(const QString& path);

private:
    void LoadSetupTabInputs();

    Zelk& z_;
    QMainWindow& window_;
    std::unique_ptr<QLockFile> lock_;
    bool unloaded_ = false;
    bool ticking_ = false;
    bool unattended_ = false;
};
