#pragma once
// The titler roster on the "Titler Names" tab: each address's name, whether it is enabled for communication and
// whether it runs firmware below 3.30. The two lists are the live copy the command gate reads; every change goes to
// the list and its PageTable slot together.

#include <QObject>
#include <QString>

class QCheckBox;
class QItemSelection;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;
class RosterList;
class Zelk;

class Roster : public QObject
{
    Q_OBJECT
public:
    explicit Roster(Zelk& z);

    // The contents of the "Titler Names" tab; creates lstTitlerNames and lstTitlerVersion and registers them.
    QWidget* buildPanel(QWidget* parent);

    void lstTitlerNames_Click();
    void lstTitlerVersion_Click();
    void cmdSetTitlerName_Click();
    void cmdClearTitlerName_Click();
    void cmdClearAllNames_Click();
    void CmdEnDisableAll_Click();
    void chkEnabledExample_Click();
    void chkVerExample_Click();

private:
    QWidget* buildNamesGroup(QWidget* parent);
    QWidget* buildVersionGroup(QWidget* parent);
    // Keeps the flag slots equal to the ticks, whoever changed them.
    void ticksChanged(QListWidget* list, int block, const QItemSelection& selected, const QItemSelection& deselected);
    bool storeTick(QListWidget* list, int block, int row);
    // Gives row `row` of both lists and its TitlerName slot the text.
    void setRowText(int row, const QString& text);
    // The name and firmware generation shown for the titler on screen follow the roster.
    void followTitlerOnScreen();

    Zelk& z_;
    RosterList* names_ = nullptr;
    RosterList* versions_ = nullptr;
    QLineEdit* nameBox_ = nullptr;
    QPushButton* enDisableAll_ = nullptr;
    QCheckBox* enabledExample_ = nullptr;
    QCheckBox* verExample_ = nullptr;
    bool bulk_ = false; // a handler is changing many ticks and stores them itself
};
