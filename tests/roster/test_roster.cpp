// The titler roster on the "Titler Names" tab, driven by clicks and keys in the real window.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "link/CommandProtocol.h"
#include "link/SerialLink.h"
#include "roster/RosterRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>

namespace {

constexpr int kTitlerNamesTab = 3;
constexpr int kSystemSetupTab = 4;

void showTab(TestWindow& w, int index)
{
    QTabBar* tabs = w.z.ui.tabMain;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    QCoreApplication::processEvents();
}

void clickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void click(TestWindow& w, const char* name)
{
    QTest::mouseClick(w.find<QAbstractButton>(QLatin1String(name)), Qt::LeftButton);
}

// Empty when both lists show exactly what the roster slots hold; otherwise the first difference.
QString listsAgainstSlots(const Zelk& z)
{
    const QListWidget* names = z.ui.lstTitlerNames;
    const QListWidget* versions = z.ui.lstTitlerVersion;
    if (!names || !versions || names->count() != 99 || versions->count() != 99)
        return QStringLiteral("the lists do not hold 99 rows");
    for (int a = 1; a <= 99; ++a) {
        const QString name = z.table.text(slot::titler(slot::kTitlerNameBlock, a));
        const QListWidgetItem* n = names->item(a - 1);
        const QListWidgetItem* v = versions->item(a - 1);
        if (n->text() != name || v->text() != name)
            return QStringLiteral("titler %1: rows '%2'/'%3', slot '%4'").arg(a).arg(n->text(), v->text(), name);
        if (n->isSelected() != z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, a)))
            return QStringLiteral("titler %1: enabled tick differs from its slot").arg(a);
        if (v->isSelected() != z.table.toBool(slot::titler(slot::kTitlerVersionBlock, a)))
            return QStringLiteral("titler %1: version tick differs from its slot").arg(a);
    }
    return {};
}

QList<int> tickedRows(const QListWidget* list)
{
    QList<int> rows;
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->isSelected())
            rows.append(r);
    return rows;
}

#define VERIFY_LISTS_EQUAL_SLOTS(z)                                                                                    \
    do {                                                                                                               \
        const QString diff = listsAgainstSlots(z);                                                                     \
        QVERIFY2(diff.isEmpty(), qPrintable(diff));                                                                    \
    } while (false)

struct Running
{
    RecordingPort port;
    TestWindow w{port};
    QListWidget* names = nullptr;
    QListWidget* versions = nullptr;
    QLineEdit* nameBox = nullptr;

    ~Running() { w.close(); }

    bool startOnTitlerNames()
    {
        if (!w.start())
            return false;
        showTab(w, kSystemSetupTab);
        QTest::mouseClick(w.find<QRadioButton>(QStringLiteral("optCommPort(1)")), Qt::LeftButton);
        showTab(w, kTitlerNamesTab);
        names = w.find<QListWidget>(QStringLiteral("lstTitlerNames"));
        versions = w.find<QListWidget>(QStringLiteral("lstTitlerVersion"));
        nameBox = w.find<QLineEdit>(QStringLiteral("txtTitlerName"));
        return names && versions && nameBox && w.z.LinkOnline;
    }
};

} // namespace

class TestRoster : public QObject
{
    Q_OBJECT

private slots:
    void rowTextsAndNameFilter();
    void listsStartFromSlotsAndMovingTheCurrentRowLeavesTicks();
    void applyAndClearNames();
    void clearAllKeepsTicks();
    void untickedTitlerReceivesNothing();
    void indicatorsFollowTheTitlerOnScreen();
    void enableAndDisableAllAndLegends();
    void rosterSurvivesRestart();
};

void TestRoster::rowTextsAndNameFilter()
{
    QCOMPARE(roster::namePart(QStringLiteral("07")), QString()); // a row cleared by "Clear All "
    QCOMPARE(roster::namePart(QStringLiteral("99   ") + QString(25, 'X')), QString(20, 'X'));

    // Lower case becomes capitals; what a titler cannot show is dropped, a space stays a space.
    QCOMPARE(roster::filterName(QStringLiteral("studio b")), QStringLiteral("STUDIO B"));
    QCOMPARE(roster::filterName(QStringLiteral("a\"#$%;<>@[\\]^`{|}b")), QStringLiteral("AB"));
    QCOMPARE(roster::filterName(QStringLiteral("cam-2: ok?_~!=&'()*+,./")), QStringLiteral("CAM-2: OK?_~!=&'()*+,./"));
    QCOMPARE(roster::filterName(QStringLiteral("x\ty\nz\x1e\u00e9")), QStringLiteral("XYZ"));
}

void TestRoster::listsStartFromSlotsAndMovingTheCurrentRowLeavesTicks()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;
    QCOMPARE(r.names->item(0)->text(), QStringLiteral("01   TALVEN PXT-12"));
    QCOMPARE(r.versions->item(98)->text(), QStringLiteral("99   "));
    QVERIFY(tickedRows(r.names).isEmpty()); // by default no titler is enabled
    VERIFY_LISTS_EQUAL_SLOTS(z);

    // Refill from slots with the current row standing on rows whose flags are set.
    z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
    z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 30), true);
    z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 2), true);
    r.names->setCurrentRow(0);
    r.versions->setCurrentRow(1);
    z.link->FillTitlerLists();
    QCOMPARE(tickedRows(r.names), (QList<int>{0, 29}));
    QCOMPARE(tickedRows(r.versions), (QList<int>{1}));
    VERIFY_LISTS_EQUAL_SLOTS(z);

    // The program moving the current row, and the operator walking the list with the arrows, tick nothing.
    r.names->setCurrentRow(7);
    r.names->setFocus();
    QTest::keyClick(r.names, Qt::Key_Down);
    QTest::keyClick(r.names, Qt::Key_Down);
    QTest::keyClick(r.names, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(tickedRows(r.names), (QList<int>{0, 29}));
    VERIFY_LISTS_EQUAL_SLOTS(z);

    // Space ticks the current row, as a click does.
    r.names->setCurrentRow(7);
    r.names->setFocus();
    QTest::keyClick(r.names, Qt::Key_Space);
    QVERIFY(r.names->item(7)->isSelected());
    VERIFY_LISTS_EQUAL_SLOTS(z);
}

void TestRoster::applyAndClearNames()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;

    clickRow(r.names, 4);
    QVERIFY(r.names->item(4)->isSelected()); // the click ticks the row
    QCOMPARE(QApplication::focusWidget(), r.nameBox);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("studio b"));
    QCOMPARE(r.nameBox->text(), QStringLiteral("STUDIO B"));
    click(r.w, "cmdSetTitlerName");
    QCOMPARE(z.table.text(slot::titler(slot::kTitlerNameBlock, 5)), QStringLiteral("05   STUDIO B"));
    QCOMPARE(r.names->item(4)->text(), QStringLiteral("05   STUDIO B"));
    QCOMPARE(r.versions->item(4)->text(), QStringLiteral("05   STUDIO B"));
    VERIFY_LISTS_EQUAL_SLOTS(z);

    // Enter applies; characters a titler cannot show never get in; the box holds twenty characters.
    clickRow(r.names, 11);
    QTest::keyClicks(r.nameBox, QStringLiteral("<cam> #2 \"north\" and south gate"));
    QCOMPARE(r.nameBox->text(), QStringLiteral("CAM 2 NORTH AND SOUT"));
    QTest::keyClick(r.nameBox, Qt::Key_Return);
    QCOMPARE(z.table.text(slot::titler(slot::kTitlerNameBlock, 12)), QStringLiteral("12   CAM 2 NORTH AND SOUT"));
    r.nameBox->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("paste{d} name"));
    QTest::keyClick(r.nameBox, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(r.nameBox->text(), QStringLiteral("PASTED NAME"));
    VERIFY_LISTS_EQUAL_SLOTS(z);

    // Clicking a named row brings its name into the box; "Clear" empties that one name.
    clickRow(r.names, 4);
    QCOMPARE(r.nameBox->text(), QStringLiteral("STUDIO B"));
    QVERIFY(!r.names->item(4)->isSelected()); // the second click unticked it
    click(r.w, "cmdClearTitlerName");
    QCOMPARE(r.names->item(4)->text(), QStringLiteral("05   "));
    QCOMPARE(r.nameBox->text(), QString());
    QCOMPARE(r.names->item(11)->text(), QStringLiteral("12   CAM 2 NORTH AND SOUT"));
    VERIFY_LISTS_EQUAL_SLOTS(z);
}

void TestRoster::clearAllKeepsTicks()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;
    for (int row : {0, 4, 98})
        clickRow(r.names, row);
    for (int row : {2, 4})
        clickRow(r.versions, row);
    clickRow(r.names, 50);
    QTest::keyClicks(r.nameBox, QStringLiteral("LOBBY"));
    QTest::keyClick(r.nameBox, Qt::Key_Return);

    click(r.w, "cmdClearAllNames");
    for (int a = 1; a <= 99; ++a) {
        const QString address = roster::addressText(a);
        QCOMPARE(r.names->item(a - 1)->text(), address);
        QCOMPARE(r.versions->item(a - 1)->text(), address);
    }
    QCOMPARE(r.nameBox->text(), QString());
    QCOMPARE(tickedRows(r.names), (QList<int>{0, 4, 50, 98}));
    QCOMPARE(tickedRows(r.versions), (QList<int>{2, 4}));
    VERIFY_LISTS_EQUAL_SLOTS(z);
}

void TestRoster::untickedTitlerReceivesNothing()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;
    const QString onScreen = z.table.text(z.pageSlot(slot::kAddress));
    QCOMPARE(onScreen, QStringLiteral("01"));

    clickRow(r.names, 0);
    r.port.clearWrites();
    z.protocol->SendCommand(onScreen, QStringLiteral("07"));
    QCOMPARE(r.port.frames(), (QList<QByteArray>{"0107"}));

    clickRow(r.names, 0); // untick the titler on screen
    QVERIFY(!z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, 1)));
    r.port.clearWrites();
    z.protocol->SendCommand(onScreen, QStringLiteral("07"));
    z.protocol->SendCommand(onScreen, QStringLiteral("48"), QStringLiteral("02"));
    z.protocol->SendCommand(QString(), QStringLiteral("08"));
    z.protocol->SendCommand(QStringLiteral("00"), QStringLiteral("09"));
    QCOMPARE(r.port.frames(), (QList<QByteArray>{"0009"}));
    VERIFY_LISTS_EQUAL_SLOTS(z);
}

void TestRoster::indicatorsFollowTheTitlerOnScreen()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;
    auto* verStatus = r.w.find<QLabel>(QStringLiteral("lblVerStatus"));
    auto* titlerName = r.w.find<QLabel>(QStringLiteral("lblTitlerName"));
    QVERIFY(z.ui.txtAddress && titlerName && verStatus);
    QCOMPARE(z.ui.txtAddress->text(), QStringLiteral("01"));

    // Version ticks: only the titler on screen moves the firmware indicator, at once.
    clickRow(r.versions, 5);
    QCOMPARE(verStatus->text(), QStringLiteral("3.30 and Above"));
    clickRow(r.versions, 0);
    QCOMPARE(verStatus->text(), QStringLiteral("Below 3.30"));
    QVERIFY(z.OldFirmwareTitler);
    clickRow(r.versions, 0);
    QCOMPARE(verStatus->text(), QStringLiteral("3.30 and Above"));
    QVERIFY(!z.OldFirmwareTitler);

    // The name shown is the enabled titler's on screen, also after renaming it or naming another one.
    clickRow(r.names, 0);
    QCOMPARE(titlerName->text(), QStringLiteral("TALVEN PXT-12"));
    r.nameBox->selectAll();
    QTest::keyClicks(r.nameBox, QStringLiteral("main hall"));
    QTest::keyClick(r.nameBox, Qt::Key_Return);
    QCOMPARE(titlerName->text(), QStringLiteral("MAIN HALL"));
    clickRow(r.names, 4);
    QTest::keyClicks(r.nameBox, QStringLiteral("STUDIO B"));
    click(r.w, "cmdSetTitlerName");
    QCOMPARE(titlerName->text(), QStringLiteral("MAIN HALL"));
    clickRow(r.names, 0); // disabled: no name beside the editor
    QCOMPARE(titlerName->text(), QString());
    VERIFY_LISTS_EQUAL_SLOTS(z);
}

void TestRoster::enableAndDisableAllAndLegends()
{
    Running r;
    QVERIFY(r.startOnTitlerNames());
    Zelk& z = r.w.z;
    auto* all = r.w.find<QPushButton>(QStringLiteral("CmdEnDisableAll"));
    QCOMPARE(all->text(), QStringLiteral("Enable All"));
    clickRow(r.versions, 3);

    click(r.w, "CmdEnDisableAll");
    QCOMPARE(tickedRows(r.names).size(), 99);
    QCOMPARE(all->text(), QStringLiteral("Disable All"));
    QCOMPARE(tickedRows(r.versions), (QList<int>{3}));
    VERIFY_LISTS_EQUAL_SLOTS(z);

    clickRow(r.names, 20);
    click(r.w, "CmdEnDisableAll");
    QVERIFY(tickedRows(r.names).isEmpty());
    QCOMPARE(all->text(), QStringLiteral("Enable All"));
    QCOMPARE(tickedRows(r.versions), (QList<int>{3}));
    VERIFY_LISTS_EQUAL_SLOTS(z);
    r.port.clearWrites();
    z.protocol->SendCommand(QStringLiteral("21"), QStringLiteral("07"));
    QVERIFY(r.port.frames().isEmpty());

    // The legend boxes always show the ticked look.
    for (const char* name : {"chkEnabledExample", "chkVerExample"}) {
        auto* box = r.w.find<QCheckBox>(QLatin1String(name));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY2(box->isChecked(), name);
        }
    }
}

void TestRoster::rosterSurvivesRestart()
{
    QList<int> enabled, old;
    QStringList texts;
    RecordingPort port; // serves both runs, as the one line does
    auto first = std::make_unique<TestWindow>(port);
    {
        QVERIFY(first->start());
        showTab(*first, kTitlerNamesTab);
        auto* names = first->find<QListWidget>(QStringLiteral("lstTitlerNames"));
        auto* versions = first->find<QListWidget>(QStringLiteral("lstTitlerVersion"));
        auto* nameBox = first->find<QLineEdit>(QStringLiteral("txtTitlerName"));
        for (int row : {1, 9, 97}) {
            clickRow(names, row);
            QTest::keyClicks(nameBox, QStringLiteral("desk %1").arg(row));
            QTest::keyClick(nameBox, Qt::Key_Enter);
        }
        clickRow(versions, 9);
        clickRow(versions, 60);
        enabled = tickedRows(names);
        old = tickedRows(versions);
        for (int r = 0; r < 99; ++r)
            texts << names->item(r)->text();
        QCOMPARE(enabled, (QList<int>{1, 9, 97}));
        QCOMPARE(texts[97], QStringLiteral("98   DESK 97"));
        first->close();
    }
    TestWindow second(port, first->home());
    QVERIFY(second.start());
    VERIFY_LISTS_EQUAL_SLOTS(second.z);
    QCOMPARE(tickedRows(second.z.ui.lstTitlerNames), enabled);
    QCOMPARE(tickedRows(second.z.ui.lstTitlerVersion), old);
    for (int r = 0; r < 99; ++r)
        QCOMPARE(second.z.ui.lstTitlerVersion->item(r)->text(), texts[r]);
    second.close();
}

QTEST_MAIN(TestRoster)
#include "test_roster.moc"
