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

namespace {

void clickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

QList<int> tickedRows(const QListWidget* list)
{
    QList<int> rows;
    for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->isSelected())
            rows.append(r);
    return rows;
}

// Empty when both lists show exactly what the roster slots hold; otherwise the first difference.
QString listsAgainstSlots(const Zelk& z)
{
    const QListWidget *names = z.ui.lstTitlerNames, *versions = z.ui.lstTitlerVersion;
    if (!names || !versions || names->count() != 99 || versions->count() != 99)
        return QStringLiteral("the lists do not hold 99 rows");
    for (int a = 1; a <= 99; ++a) {
        const QString name = z.table.text(slot::titler(slot::kTitlerNameBlock, a));
        const QListWidgetItem *n = names->item(a - 1), *v = versions->item(a - 1);
        if (n->text() != name || v->text() != name)
            return QStringLiteral("titler %1: rows '%2'/'%3', slot '%4'").arg(a).arg(n->text(), v->text(), name);
        if (n->isSelected() != z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, a)))
            return QStringLiteral("titler %1: enabled tick differs from its slot").arg(a);
        if (v->isSelected() != z.table.toBool(slot::titler(slot::kTitlerVersionBlock, a)))
            return QStringLiteral("titler %1: version tick differs from its slot").arg(a);
    }
    return {};
}

#define VERIFY_LISTS_EQUAL_SLOTS(z) QVERIFY2(listsAgainstSlots(z).isEmpty(), qPrintable(listsAgainstSlots(z)))

struct Running
{
    ~Running()
    {
        if (w.window->isVisible())
            w.close();
    }

    RecordingPort port;
    TestWindow w{port};
    Zelk& z = w.z;
    QListWidget* names = nullptr;
    QListWidget* versions = nullptr;
    QLineEdit* nameBox = nullptr;

    // Started online on port 1 and on the "Titler Names" tab.
    bool start()
    {
        if (!w.startOnline())
            return false;
        w.showTab(4);
        names = w.find<QListWidget>("lstTitlerNames");
        versions = w.find<QListWidget>("lstTitlerVersion");
        nameBox = w.find<QLineEdit>("txtTitlerName");
        return names && versions && nameBox;
    }
    void click(const char* name) { w.click(name); }
    void nameRow(int row, const QString& typed)
    {
        clickRow(names, row);
        QTest::keyClicks(nameBox, typed);
        QTest::keyClick(nameBox, Qt::Key_Return);
    }
    QString label(const char* name) const { return w.find<QLabel>(name)->text(); }
};

} // namespace

class TestRoster : public QObject
{
    Q_OBJECT

private slots:
    void rowTextsAndNameFilter()
    {
        QCOMPARE(roster::namePart("07"), QString()); // a row cleared by "Clear All "
        QCOMPARE(roster::namePart("99   " + QString(25, 'X')), QString(20, 'X'));
        // Lower case becomes capitals; what a titler cannot show is dropped, a space stays a space.
        QCOMPARE(roster::filterName(QStringLiteral("a\"#$%;<>@[\\]^`{|}b c\td\x1e\u00e9")), QString("AB CD"));
    }

    void listsStartFromSlotsAndMovingTheCurrentRowLeavesTicks()
    {
        Running r;
        QVERIFY(r.start());
        QCOMPARE(r.names->item(0)->text(), QString("01   TALVEN PXT-12"));
        QCOMPARE(r.versions->item(98)->text(), QString("99   "));
        QVERIFY(tickedRows(r.names).isEmpty()); // by default no titler is enabled
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        // Refilled from the slots while the current rows stand on rows whose flags are set.
        r.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 1), true);
        r.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, 30), true);
        r.z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 2), true);
        r.names->setCurrentRow(0);
        r.versions->setCurrentRow(1);
        r.z.link->FillTitlerLists();
        QCOMPARE(tickedRows(r.names), (QList<int>{0, 29}));
        QCOMPARE(tickedRows(r.versions), (QList<int>{1}));

        // The program moving the current row, and the operator walking the list with the arrows, tick nothing.
        r.names->setCurrentRow(7);
        r.names->setFocus();
        QTest::keyClick(r.names, Qt::Key_Down);
        QTest::keyClick(r.names, Qt::Key_Down);
        QTest::keyClick(r.names, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(tickedRows(r.names), (QList<int>{0, 29}));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        // Space ticks the current row, as a click does.
        r.names->setCurrentRow(7);
        QTest::keyClick(r.names, Qt::Key_Space);
        QVERIFY(r.names->item(7)->isSelected());
        VERIFY_LISTS_EQUAL_SLOTS(r.z);
    }

    void applyAndClearNames()
    {
        Running r;
        QVERIFY(r.start());
        // No row chosen yet: "Apply" and "Clear" have nothing to act on.
        QCOMPARE(r.names->currentRow(), -1);
        const PageTable before = r.z.table;
        r.nameBox->setText("NOWHERE");
        r.click("cmdSetTitlerName");
        r.click("cmdClearTitlerName");
        QVERIFY(r.z.table == before);
        QCOMPARE(r.names->item(0)->text(), QString("01   TALVEN PXT-12"));

        clickRow(r.names, 4);
        QVERIFY(r.names->item(4)->isSelected()); // the click ticks the row
        QCOMPARE(QApplication::focusWidget(), r.nameBox);
        QTest::keyClicks(QApplication::focusWidget(), "studio b");
        QCOMPARE(r.nameBox->text(), QString("STUDIO B"));
        r.click("cmdSetTitlerName");
        QCOMPARE(r.z.table.text(slot::titler(slot::kTitlerNameBlock, 5)), QString("05   STUDIO B"));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        // Enter applies; characters a titler cannot show never get in; the box holds twenty characters.
        clickRow(r.names, 11);
        QTest::keyClicks(r.nameBox, "<cam> #2 \"north\" and south gate");
        QCOMPARE(r.nameBox->text(), QString("CAM 2 NORTH AND SOUT"));
        QTest::keyClick(r.nameBox, Qt::Key_Return);
        QCOMPARE(r.z.table.text(slot::titler(slot::kTitlerNameBlock, 12)), QString("12   CAM 2 NORTH AND SOUT"));
        r.nameBox->selectAll();
        QApplication::clipboard()->setText("paste{d} name");
        QTest::keyClick(r.nameBox, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(r.nameBox->text(), QString("PASTED NAME"));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        // Clicking a named row brings its name into the box; "Clear" empties that one name.
        clickRow(r.names, 4);
        QCOMPARE(r.nameBox->text(), QString("STUDIO B"));
        QVERIFY(!r.names->item(4)->isSelected()); // the second click unticked it
        r.click("cmdClearTitlerName");
        QCOMPARE(r.names->item(4)->text(), QString("05   "));
        QCOMPARE(r.nameBox->text(), QString());
        QCOMPARE(r.names->item(11)->text(), QString("12   CAM 2 NORTH AND SOUT"));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        // "Clear All " empties every name and keeps every tick.
        for (int row : {0, 4, 98})
            clickRow(r.names, row);
        for (int row : {2, 4})
            clickRow(r.versions, row);
        r.nameRow(50, "LOBBY");
        r.click("cmdClearAllNames");
        for (int a = 1; a <= 99; ++a) // the version list is compared with the slots below
            QCOMPARE(r.names->item(a - 1)->text(), roster::addressText(a));
        QCOMPARE(r.nameBox->text(), QString());
        QCOMPARE(tickedRows(r.names), (QList<int>{0, 4, 11, 50, 98}));
        QCOMPARE(tickedRows(r.versions), (QList<int>{2, 4}));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);
    }

    void theTitlerOnScreen()
    {
        Running r;
        QVERIFY(r.start());
        const QString onScreen = r.z.table.text(r.z.pageSlot(slot::kAddress));
        QCOMPARE(onScreen, QString("01"));

        // Version ticks: only the titler on screen moves the firmware indicator, at once.
        clickRow(r.versions, 5);
        QCOMPARE(r.label("lblVerStatus"), QString("3.30 and Above"));
        clickRow(r.versions, 0);
        QCOMPARE(r.label("lblVerStatus"), QString("Below 3.30"));
        QVERIFY(r.z.OldFirmwareTitler);
        clickRow(r.versions, 0);
        QCOMPARE(r.label("lblVerStatus"), QString("3.30 and Above"));
        QVERIFY(!r.z.OldFirmwareTitler);

        // The name beside the editor is the enabled titler's on screen, also after renaming it or naming another.
        clickRow(r.names, 0);
        QCOMPARE(r.label("lblTitlerName"), QString("TALVEN PXT-12"));
        r.port.clearWrites();
        r.z.protocol->SendCommand(onScreen, "07");
        QCOMPARE(r.port.frames(), (QList<QByteArray>{"0107"}));
        r.nameBox->selectAll();
        QTest::keyClicks(r.nameBox, "main hall");
        QTest::keyClick(r.nameBox, Qt::Key_Return);
        QCOMPARE(r.label("lblTitlerName"), QString("MAIN HALL"));
        clickRow(r.names, 4);
        QTest::keyClicks(r.nameBox, "STUDIO B");
        r.click("cmdSetTitlerName");
        QCOMPARE(r.label("lblTitlerName"), QString("MAIN HALL"));

        // Unticked: no name beside the editor, and nothing goes to it but to every titler ("00").
        clickRow(r.names, 0);
        QCOMPARE(r.label("lblTitlerName"), QString());
        QVERIFY(!r.z.table.toBool(slot::titler(slot::kTitlerEnabledBlock, 1)));
        r.port.clearWrites();
        r.z.protocol->SendCommand(onScreen, "07");
        r.z.protocol->SendCommand(onScreen, "48", "02");
        r.z.protocol->SendCommand(QString(), "08");
        r.z.protocol->SendCommand("00", "09");
        QCOMPARE(r.port.frames(), (QList<QByteArray>{"0009"}));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);
    }

    void enableAndDisableAllAndLegends()
    {
        Running r;
        QVERIFY(r.start());
        auto* all = r.w.find<QPushButton>("CmdEnDisableAll");
        QCOMPARE(all->text(), QString("Enable All"));
        clickRow(r.versions, 3);
        r.click("CmdEnDisableAll");
        QCOMPARE(tickedRows(r.names).size(), 99);
        QCOMPARE(all->text(), QString("Disable All"));
        QCOMPARE(tickedRows(r.versions), (QList<int>{3}));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);

        clickRow(r.names, 20);
        r.click("CmdEnDisableAll");
        QVERIFY(tickedRows(r.names).isEmpty());
        QCOMPARE(all->text(), QString("Enable All"));
        QCOMPARE(tickedRows(r.versions), (QList<int>{3}));
        VERIFY_LISTS_EQUAL_SLOTS(r.z);
        r.port.clearWrites();
        r.z.protocol->SendCommand("21", "07");
        QVERIFY(r.port.frames().isEmpty());

        // The legend boxes always show the ticked look.
        for (const char* name : {"chkEnabledExample", "chkVerExample", "chkEnabledExample", "chkVerExample"}) {
            r.click(name);
            QVERIFY2(r.w.find<QCheckBox>(name)->isChecked(), name);
        }
    }
};

QTEST_MAIN(TestRoster)
#include "test_roster.moc"
