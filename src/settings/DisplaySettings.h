#pragma once
// The page's display settings on the "Setup" tab: the option buttons, storing a setting and sending it, sending the
// full set of one page or of every enabled page, and the tab's layout with the adjusters, the clock setting and the
// settings cloning beside them. It also keeps the titler's clock reader and the clock preview over the editor.

#include <QObject>
#include <QString>
#include <memory>

class Adjusters;
class ClockPreview;
class ClockSetting;
class SettingsCloning;
class TitlerClock;
class QRadioButton;
class QWidget;
class Zelk;

class DisplaySettings : public QObject
{
    Q_OBJECT
public:
    explicit DisplaySettings(Zelk& z);
    ~DisplaySettings() override;

    // The contents of the "Setup" tab.
    QWidget* buildPanel(QWidget* parent);

    // Stores a setting of the current page (slot k and its copy) and sends it when the link allows.
    void ApplyPageSetting(int k, const QString& value, const QString& code);
    // One command, or with an empty code the current page's full settings, then "32".
    void SendSettings(const QString& address, const QString& code, const QString& parameter);
    // The store of ApplyPageSetting alone.
    void storeSetting(int k, const QString& value);

    void cmdSendSettings_Click();
    void cmdSendAllSettings_Click();
    // "Send All" is sending every page's settings: nothing else may go out between its pages.
    bool sendingAll() const { return sendingAll_; }
    // An option button became selected.
    void option_Click(QRadioButton* option);

private:
    QWidget* buildDisplayAttributes(QWidget* parent);
    QWidget* buildClockGroup(QWidget* parent, bool time);
    QRadioButton* makeOption(int row, QWidget* parent);
    void showStatus(int code);

    Zelk& z_;
    std::unique_ptr<Adjusters> adjusters_;
    // The clock before its preview: the preview's questions answer into it.
    std::unique_ptr<TitlerClock> clock_;
    std::unique_ptr<ClockPreview> preview_;
    std::unique_ptr<ClockSetting> clockSetting_;
    std::unique_ptr<SettingsCloning> cloning_;
    bool sendingAll_ = false;
};
