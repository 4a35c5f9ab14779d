#pragma once
// Sending pages to their titlers, the send modes and the page's address box.

class QWidget;
class Zelk;
#include <QString>

class Transmission
{
public:
    explicit Transmission(Zelk& z);
    // Address box with the titler's name.
    QWidget* buildAddressBox(QWidget* parent);
    // "Send Screen" scopes and button, and the send modes.
    QWidget* buildSendPanel(QWidget* parent);
    void RestoreEditorPreferences();
    void SendPages(const QString& scope, const QString& line = {});
    void SetTimePreviewVisible(const QString& state);
    void SetDatePreviewVisible(const QString& state);

private:
    Zelk& z_;
};
