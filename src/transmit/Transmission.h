#pragma once
// Sending pages to their titlers: the "Send Screen" scopes and button, the page line sender, the send modes, and
// the clock and calendar preview switches.

#include <QObject>
#include <QString>
#include <memory>

class AddressBox;
class LinkWatch;
class QWidget;
class Zelk;

class Transmission : public QObject
{
public:
    explicit Transmission(Zelk& z);
    ~Transmission() override;

    // Address box, and the name of the titler at the address.
    QWidget* buildAddressBox(QWidget* parent);
    QWidget* buildTitlerName(QWidget* parent);
    // "Send Screen" scopes, range boxes and button, the send modes, and the place of the text search.
    QWidget* buildSendPanel(QWidget* parent);
    AddressBox& addressBox() { return *address_; }

    void cmdSend_Click();
    void optSendCur_Click();
    void optSendAll_Click();
    void optSendSel_Click();
    void optSendRange_Click();
    void optSendEOL_Click();
    void optSendManual_Click();
    void optSendContinuous_Click();

    // scope: "Current", "All", "Selected", "Range" or "Line" (with line "1".."9"); anything else does nothing.
    void SendPages(const QString& scope, const QString& line = {});
    void SendPages(const QString& scope, int line) { SendPages(scope, QString::number(line)); }
    // Writes the green lines of the page on view to address: line 0 for all nine, 1..9 for one.
    void SendPageLines(const QString& address, int line);

    void RestoreEditorPreferences();
    // "On" shows, "Off" hides the clock (calendar) preview over the editor; anything else does nothing.
    void SetTimePreviewVisible(const QString& state);
    void SetDatePreviewVisible(const QString& state);

    // The range boxes shared with clearing and cloning.
    void SetRangeMode(const QString& mode);
    void DisableRangeIfUnused();

private:
    QWidget* buildSendFrame(QWidget* parent);
    QWidget* buildModeFrame(QWidget* parent);
    void buildPreviewBoxes(QWidget* editorFrame);
    void sendPageCommands(const QString& address);
    void sendPageSettings(const QString& address);
    void sendPage(int page, const QString& address);
    bool sendPageLoop(int from, int to, bool selectedOnly, const LinkWatch& link);
    void showPageNumber(const QString& number);
    void showStatus(int code);
    void setPreviewPair(const QString& state, int first, int second);

    Zelk& z_;
    std::unique_ptr<AddressBox> address_;
};
