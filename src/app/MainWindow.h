#pragma once
// frmZELK: the one main window. It only assembles the subsystems, each of which builds its own controls.

#include <QMainWindow>
#include <memory>

class Zelk;
class SerialPort;
class CommandProtocol;
class StatusLine;
class SerialLink;
class Shell;
class SettingsFile;
class PageView;
class Transmission;
class LineEditor;
class DisplaySettings;
class Adjusters;
class Roster;
class PortScan;
class Identification;
class PageFile;
class PageClearing;
class EditorClipboard;
class TextSearch;
class Effects;
class AsRunLog;
class Orders;
class QFrame;
class QVBoxLayout;

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Zelk& z, SerialPort& port, QWidget* parent = nullptr);
    ~MainWindow() override;

    Zelk& zelk() { return z_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QFrame* makeFrame(int index, QWidget* parent);
    void buildMenus();
    void buildToolBar();

    Zelk& z_;
    std::unique_ptr<CommandProtocol> protocol_;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<SerialLink> link_;
    std::unique_ptr<PageView> pageView_;
    std::unique_ptr<Transmission> transmission_;
    std::unique_ptr<LineEditor> editor_;
    std::unique_ptr<DisplaySettings> displaySettings_;
    std::unique_ptr<Roster> roster_;
    std::unique_ptr<Effects> effects_;
    std::unique_ptr<SettingsFile> settingsFile_;
    std::unique_ptr<Shell> shell_;
    // Port auto-detection and titler identification
    std::unique_ptr<PortScan> portScan_;
    std::unique_ptr<Identification> identification_;
    // Page files, clearing and cloning, clipboard and alignment, text search
    std::unique_ptr<PageFile> pageFile_;
    std::unique_ptr<PageClearing> clearing_;
    std::unique_ptr<EditorClipboard> clipboard_;
    std::unique_ptr<TextSearch> search_;
    // The as-run log and the orders of a second start or of automation
    std::unique_ptr<AsRunLog> asRun_;
    std::unique_ptr<Orders> orders_;
};
