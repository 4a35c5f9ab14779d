// Clearing titlers and pages, cloning the page on view, and the range boxes the groups share, through the window
// with a recording port.

#include "RecordingPort.h"
#include "TestWindow.h"

#include "link/SerialLink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

QString padded(const QString& s = {})
{
    return s.leftJustified(20);
}

struct Rig
{
    RecordingPort port;
    TestWindow w{port};
    Zelk& z = w.z;

    bool start()
    {
        if (!w.startOnline())
            return false;
        port.clearWrites();
        return true;
    }
    // On the caption's start: an option's click area is its mark and caption, not its whole width.
    void click(const char* name)
    {
        auto* b = w.find<QAbstractButton>(QLatin1String(name));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    bool chosen(const char* name) const { return w.find<QRadioButton>(QLatin1String(name))->isChecked(); }
    bool enabled(const char* name) const { return w.find<QWidget>(QLatin1String(name))->isEnabled(); }
    void enable(int from, int to)
    {
        for (int a = from; a <= to; ++a)
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
        z.link->FillTitlerLists();
    }
    static void retype(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    void range(const QString& from, const QString& to)
    {
        retype(z.ui.txtRangeFrom, from);
        retype(z.ui.txtRangeTo, to);
    }
    QString boxes() const { return z.ui.txtRangeFrom->text() + "-" + z.ui.txtRangeTo->text(); }
    QString caption() const { return w.find<QLabel>("lblRangeType(0)")->text(); }
    QString progress() const { return z.ui.lblProgStatus[3]->text(); }
    // The screen clears written since the last check, by address.
    QList<QByteArray> clears()
    {
        QList<QByteArray> out;
        for (const QByteArray& f : port.frames())
            if (f.mid(2) == "25")
                out << f.left(2);
        port.clearWrites();
        return out;
    }
};

} // namespace

class TestClearing : public QObject
{
    Q_OBJECT

private slots:
    void rangeBoxesBelongToTheLastRangeOption()
    {
        Rig r;
        QVERIFY(r.start());
        const std::pair<int, const char*> ranges[] = {{slot::kClearAddressFrom, "05"}, {slot::kClearAddressTo, "07"},
                                                      {slot::kSendPageFrom, "02"},     {slot::kSendPageTo, "03"},
                                                      {slot::kClearPageFrom, "10"},    {slot::kClearPageTo, "12"},
                                                      {slot::kClonePageFrom, "20"},    {slot::kClonePageTo, "22"}};
        for (const auto& [s, v] : ranges)
            r.z.table.setText(s, QLatin1String(v));
        QVERIFY(!r.enabled("txtRangeFrom") && !r.enabled("cmdClonePage") && !r.enabled("cmdClonePageSend"));

        r.click("optSendRange");
        QCOMPARE(r.boxes(), QString("02-03"));
        r.click("optClearRangeEditors");
        QVERIFY(r.chosen("optSendCur"));
        QCOMPARE(r.boxes(), QString("10-12"));
        QCOMPARE(r.caption(), QString("Page"));
        r.click("optClearRangePxt");
        QVERIFY(r.chosen("optClearCurEditor"));
        QCOMPARE(r.boxes(), QString("05-07"));
        QCOMPARE(r.caption(), QString("Address"));
        r.click("optClonePage");
        QVERIFY(r.chosen("optClearCurPxt"));
        QCOMPARE(r.boxes(), QString("20-22"));
        QVERIFY(r.enabled("cmdClonePage") && r.enabled("cmdClonePageSend"));
        r.click("optClearRangeEditors");
        QVERIFY(!r.chosen("optClonePage"));
        QVERIFY(!r.enabled("cmdClonePage") && !r.enabled("cmdClonePageSend"));

        // Typed digits go over the one under the caret, other keys are dropped; leaving the box stores the range.
        QLineEdit* from = r.z.ui.txtRangeFrom;
        QTest::mouseClick(from, Qt::LeftButton);
        QTest::keyClick(from, Qt::Key_Home);
        QTest::keyClicks(from, "a3-");
        QCOMPARE(from->text(), QString("30"));
        QTest::keyClick(from, Qt::Key_Tab);
        QCOMPARE(r.z.table.text(slot::kClearPageFrom), QString("30"));
        r.retype(from, "00");
        QCOMPARE(r.z.dialogs.shown().last().text, QString("Number must be between 1 and 99"));
        QCOMPARE(from->text(), QString("30"));
        r.click("optClearAllEditors");
        QVERIFY(!r.enabled("txtRangeFrom") && !r.enabled("lblRangeType(0)"));
    }

    void clearPxtScopes()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable(1, 6);
        r.click("optClearRangePxt");
        r.range("05", "03");
        r.click("cmdClearPxt");
        QVERIFY(r.clears().isEmpty());
        QCOMPARE(r.progress(), QString("PXT(s) Cleared"));
        r.range("02", "04");
        r.click("cmdClearPxt");
        QCOMPARE(r.clears(), (QList<QByteArray>{"02", "03", "04"}));
        QCOMPARE(r.z.ui.cmdClearPxt->text(), QString("Clear PXT"));

        // "00" clears every titler once, whatever the scope.
        r.retype(r.z.ui.txtAddress, "00");
        r.click("cmdClearPxt");
        QCOMPARE(r.clears(), QList<QByteArray>{"00"});

        // Selected: each ticked page's titler by the page's address, then page 01 on view.
        r.retype(r.z.ui.txtAddress, "01");
        for (int p : {4, 6})
            r.z.table.setInt16(slot::page(p, slot::kSelected), 1);
        r.z.table.setText(slot::page(6, slot::kAddress), "02");
        r.z.table.setText(slot::titler(slot::kTitlerShownPageBlock, 1), "01");
        r.w.z.ui.txtPageNumber->setText("09");
        r.click("optClearSelPxt");
        r.click("cmdClearPxt");
        QCOMPARE(r.clears(), (QList<QByteArray>{"04", "02"}));
        QCOMPARE(r.z.ui.txtPageNumber->text(), QString("01"));
        QCOMPARE(r.z.table.text(slot::titler(slot::kTitlerShownPageBlock, 1)), QString());
    }

    // Whatever the scope, the titler on screen no longer shows its page; only "Current" keeps the clear's pause.
    void clearPxtForgetsTheShownPage()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable(1, 3);
        const int shownPage = slot::titler(slot::kTitlerShownPageBlock, 1);
        const struct
        {
            const char* option;
            QList<QByteArray> clears;
        } scopes[] = {
            {"optClearCurPxt", {"01"}}, {"optClearRangePxt", {"01", "02"}}, {"optClearAllPxt", {"01", "02", "03"}}};
        for (const auto& s : scopes) {
            r.z.table.setText(shownPage, "01");
            r.click(s.option);
            if (r.chosen("optClearRangePxt"))
                r.range("01", "02");
            r.click("cmdClearPxt");
            if (r.chosen("optClearCurPxt"))
                QVERIFY(r.port.clock.elapsed() - r.port.writes.last().atMs >= 150);
            QCOMPARE(r.clears(), s.clears);
            QCOMPARE(r.z.table.text(shownPage), QString());
        }
    }

    void aLinkLostHalfWayEndsTheClear()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable(1, 99);
        r.z.table.setText(slot::titler(slot::kTitlerShownPageBlock, 1), "01");
        QTimer unplug;
        QObject::connect(&unplug, &QTimer::timeout, [&r] {
            if (r.port.isOpen() && r.port.frames().size() >= 3)
                r.port.vanish();
        });
        unplug.start(0);
        r.click("optClearAllPxt");
        r.click("cmdClearPxt");
        QVERIFY(r.clears().size() < 10);
        QCOMPARE(r.z.ui.cmdClearPxt->text(), QString("Clear PXT"));
        QCOMPARE(r.z.ui.lblProgStatus[1]->text() + "|" + r.z.ui.lblProgStatus[2]->text(),
                 QString("Offline|Invalid CommPort"));
        QCOMPARE(r.z.table.text(slot::titler(slot::kTitlerShownPageBlock, 1)), QString("01")); // not finished
    }

    void clearEditorsAndClone()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable(1, 1);
        PageTable& t = r.z.table;
        // Current, continuous: the lines are emptied without sending them, and the titler is cleared.
        QTest::mouseClick(r.z.ui.optSendContinuous, Qt::LeftButton);
        r.click("optClearCurEditor");
        r.port.clearWrites();
        r.click("cmdClearEditor");
        QCOMPARE(r.port.frames(), QList<QByteArray>{"0125"});
        QCOMPARE(t.text(slot::page(1, slot::kLine1)), padded());
        // Selected: the ticked pages only.
        for (int p : {4, 5})
            t.setText(slot::page(p, slot::kLine1), "KEPT");
        t.setInt16(slot::page(4, slot::kSelected), 1);
        r.click("optClearSelEditors");
        r.click("cmdClearEditor");
        QCOMPARE(t.text(slot::page(4, slot::kLine1)), QString());
        QCOMPARE(t.text(slot::page(5, slot::kLine1)), QString("KEPT"));

        // Clone copies the green lines of the page on view only.
        for (int n = 1; n <= 3; ++n)
            r.z.ui.txtMain[std::size_t(n)]->setText(QStringLiteral("CLONED %1").arg(n));
        QTest::mouseClick(r.z.ui.lblLineNum[2], Qt::LeftButton); // line 2 off
        r.click("optClonePage");
        r.range("20", "22");
        r.click("cmdClonePage");
        for (int p : {20, 21, 22}) {
            QCOMPARE(t.text(slot::page(p, slot::kLine1)), padded("CLONED 1"));
            QCOMPARE(t.text(slot::page(p, slot::kLine1 + 1)), padded());
            QCOMPARE(t.text(slot::page(p, slot::kLine1 + 2)), padded("CLONED 3"));
            QCOMPARE(t.toInt(slot::page(p, slot::kLineState1 + 1)), slot::kLineOn);
        }
        QCOMPARE(r.progress(), QString("Page(s) Cloned"));
    }

    void cloneAndSendClickedAgainSendsOnce()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable(20, 21);
        r.click("optClonePage");
        r.range("20", "21");
        r.click("cmdClonePageSend");
        const QList<QByteArray> once = r.port.frames();
        QVERIFY(!once.isEmpty());
        r.port.clearWrites();
        QTimer again;
        QObject::connect(&again, &QTimer::timeout, [&] {
            if (!r.port.writes.isEmpty()) {
                again.stop();
                r.click("cmdClonePageSend");
            }
        });
        again.start(0);
        r.click("cmdClonePageSend");
        QVERIFY(!again.isActive());
        QCOMPARE(r.port.frames(), once);
    }
};

QTEST_MAIN(TestClearing)
#include "test_clearing.moc"
