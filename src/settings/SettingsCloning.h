#pragma once
// The "Clone Setup" group of the "Setup" tab: copies every display setting of the page on view to a range of pages,
// and "Clone && Send" also sends them to those pages' titlers.

#include <QObject>
#include <QString>

class PageTable;
class QLineEdit;
class QWidget;
class Zelk;

// Settings slots 21..35 of pages from..to (within 1..99), and their copies, receive the source page's settings.
void cloneSettings(PageTable& table, int sourceBase, int from, int to);

class SettingsCloning : public QObject
{
    Q_OBJECT
public:
    explicit SettingsCloning(Zelk& z);

    QWidget* build(QWidget* parent);

    void txtCloneStart_LostFocus();
    void txtCloneEnd_LostFocus();
    void cmdCloneSettings_Click();
    void cmdCloneSettingsSend_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The range in the boxes; throws RunTimeError for a box that holds no number.
    std::pair<int, int> range() const;
    void showStatus(int code);

    Zelk& z_;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    bool sending_ = false;
};
