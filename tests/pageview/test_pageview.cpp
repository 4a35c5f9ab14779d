// The page on view: page buttons, the page number box, and what showing a page puts into the controls (not the line).

#include "RecordingPort.h"
#include "TestWindow.h"
#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "pages/LineEditor.h"
#include "pages/PageView.h"
#include "settings/NumberLabel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace {

// The real window, started on a recording port, shown, active and online.
struct Rig
{
    RecordingPort port;
    TestWindow w{port};

    bool start()
    {
        return w.startOnline();
    }
    void click(const QString& name) { w.click(name); }
    QLineEdit* box() const { return w.z.ui.txtPageNumber; }
    // Clicks into the page box, types, and leaves with Tab unless two digits already took the focus away.
    void typePage(const QString& digits)
    {
        QTest::mouseClick(box(), Qt::LeftButton);
        QTest::keyClicks(box(), digits);
        if (box()->hasFocus())
            QTest::keyClick(box(), Qt::Key_Tab);
    }
    int page() const { return w.z.currentPage(); }
    QString address() const { return w.z.ui.txtAddress->text(); }
    QList<QByteArray> sent() const { return port.sent(); }
    void pageSlot(int page, int k, const QString& text) { w.z.table.setText(slot::page(page, k), text); }
};

} // namespace

class TestPageView : public QObject
{
    Q_OBJECT

private slots:
    void pageButtonsWrapAtTheEnds_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("to");
        QTest::newRow("next on 99") << "99" << "cmdNextPage" << "01";
        QTest::newRow("prev on 01") << "01" << "cmdPrevPage" << "99";
        QTest::newRow("+10 on 85") << "85" << "cmdPgScrollFwd" << "95";
        QTest::newRow("+10 on 95") << "95" << "cmdPgScrollFwd" << "05";
        QTest::newRow("+10 on 90") << "90" << "cmdPgScrollFwd" << "01";
        QTest::newRow("-10 on 15") << "15" << "cmdPgScrollRev" << "05";
        QTest::newRow("-10 on 05") << "05" << "cmdPgScrollRev" << "95";
        QTest::newRow("-10 on 10") << "10" << "cmdPgScrollRev" << "99";
        QTest::newRow("first") << "57" << "cmdFirstPage" << "01";
        QTest::newRow("last") << "57" << "cmdLastPage" << "99";
    }
    void pageButtonsWrapAtTheEnds()
    {
        QFETCH(QString, from);
        QFETCH(QString, button);
        QFETCH(QString, to);
        Rig r;
        QVERIFY(r.start());
        r.typePage(from);
        QCOMPARE(r.box()->text(), from);
        r.click(button);
        QCOMPARE(r.box()->text(), to);
        QCOMPARE(r.page(), to.toInt());
        QCOMPARE(r.address(), to); // a fresh page's address is its own number
        QVERIFY(!r.w.z.PageRefreshing && !r.w.z.EditorLoading);
    }

    void pageBoxTakesOneOrTwoDigitsAndNoLetters()
    {
        Rig r;
        QVERIFY(r.start());
        r.pageSlot(7, slot::kLine1, "SEVEN");
        r.pageSlot(42, slot::kLine1, "FORTY TWO");
        QTest::mouseClick(r.box(), Qt::LeftButton);
        QCOMPARE(r.box()->text(), QString()); // emptied for a fresh number
        QTest::keyClicks(r.box(), "7");
        QCOMPARE(r.page(), 1); // one digit waits for the box to be left
        QTest::keyClick(r.box(), Qt::Key_Tab);
        QCOMPARE(r.box()->text(), QString("07"));
        QCOMPARE(r.page(), 7);
        QCOMPARE(r.w.z.ui.txtMain[1]->text(), QString("SEVEN").leftJustified(20));

        QTest::mouseClick(r.box(), Qt::LeftButton);
        QTest::keyClicks(r.box(), "42"); // the second digit shows the page and moves on to the tab strip
        QCOMPARE(r.page(), 42);
        QVERIFY(r.w.z.ui.tabMain->hasFocus());
        QCOMPARE(r.w.z.ui.txtMain[1]->text(), QString("FORTY TWO").leftJustified(20));

        QTest::mouseClick(r.box(), Qt::LeftButton);
        QTest::keyClick(r.box(), Qt::Key_Tab); // left empty: the page that was shown comes back
        QCOMPARE(r.box()->text(), QString("42"));
        QCOMPARE(r.page(), 42);

        r.port.clearWrites();
        for (const char* letters : {"ab", "x"}) {
            r.w.z.table.clear(slot::kErrorNumber);
            r.typePage(letters);
            QCOMPARE(r.page(), 42);
            QCOMPARE(r.box()->text(), QString("42"));
            QCOMPARE(r.address(), QString("42"));
            QVERIFY(!r.w.z.PageRefreshing && !r.w.z.EditorLoading);
            QCOMPARE(r.w.z.table.toInt(slot::kErrorNumber), err::kTypeMismatch);
        }
        r.click("cmdNextPage"); // the buttons still work from there
        QCOMPARE(r.page(), 43);
        QVERIFY(r.sent().isEmpty());
    }

    void showingAPageFillsTheControlsAndSendsNothing()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        r.w.enable({3});
        r.pageSlot(3, slot::kDisplayCode, "08");
        r.pageSlot(3, slot::kBackgroundCode, "10");
        r.pageSlot(3, slot::kContrastCode, "171");
        r.pageSlot(3, slot::kTimeCode, "35");
        r.pageSlot(3, slot::kDateCode, "40");
        z.table.setInt32(slot::page(3, slot::kLineState1 + 3), slot::kLineOff);
        z.table.setInt16(slot::page(3, slot::kSelected), 1);
        r.port.clearWrites();

        r.typePage("03");
        QVERIFY(z.ui.optDisplayOff->isChecked());
        QVERIFY(z.ui.optBackgroundOff->isChecked());
        QVERIFY(z.ui.optContrastLow->isChecked());
        for (int n = 1; n <= 9; ++n) {
            QLabel* label = z.ui.lblLineNum[std::size_t(n)];
            QCOMPARE(label->palette().color(QPalette::Window), n == 4 ? QColor(255, 0, 0) : QColor(0, 255, 0));
            QCOMPARE(lineLabelState(label), n == 4 ? slot::kLineOff : slot::kLineOn);
        }
        QVERIFY(z.ui.chkPagSel->isChecked());
        QVERIFY(!z.ui.txtTimeDisplay->isVisible() && !z.ui.txtDateDisplay->isVisible());

        r.click("cmdNextPage"); // page 4 holds the defaults, showing time and date
        QVERIFY(z.ui.optDisplayOn->isChecked());
        QVERIFY(z.ui.optContrastHi->isChecked());
        QCOMPARE(lineLabelState(z.ui.lblLineNum[4]), slot::kLineOn);
        QVERIFY(!z.ui.chkPagSel->isChecked());
        QVERIFY(z.ui.txtTimeDisplay->isVisible() && z.ui.txtDateDisplay->isVisible());
        QVERIFY(r.sent().isEmpty());

        // Ticking the page stores it in the page on view only.
        for (int ticked : {1, 0}) {
            QTest::mouseClick(z.ui.chkPagSel, Qt::LeftButton);
            QCOMPARE(z.table.toInt(slot::page(4, slot::kSelected)), ticked);
            QCOMPARE(z.table.toInt(slot::page(3, slot::kSelected)), 1);
        }
    }

    void oldFirmwareForcesFormatsAndSize()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        for (int a : {4, 6}) {
            z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
            z.table.setBool(slot::titler(slot::kTitlerVersionBlock, a), a == 4);
        }
        z.link->FillTitlerLists();
        for (int p : {4, 6}) {
            r.pageSlot(p, slot::kTimeFormat, "05");
            r.pageSlot(p, slot::kDateFormat, "12");
            r.pageSlot(p, slot::kVSizeCode, "476");
        }
        // A page shown on another tab (as page looping does) follows its own titler, not the last one typed.
        r.typePage("04");
        r.w.showTab(3);
        z.ui.txtPageNumber->setText("06");
        z.pageView->ShowPage();
        QCOMPARE(z.table.text(slot::page(6, slot::kTimeFormat)), QString("05"));
        QCOMPARE(z.table.text(slot::page(6, slot::kDateFormat)), QString("12"));

        r.w.showTab(2); // the settings as the operator sees them, with the page bar below
        r.typePage("04");
        QCOMPARE(z.ui.lblTimeFormat->text(), QString("03"));
        QCOMPARE(z.ui.lblDateFormat->text(), QString("15"));
        QCOMPARE(z.table.text(slot::page(4, slot::kTimeFormat)), QString("03"));
        QCOMPARE(z.table.text(slot::page(4, slot::kDateFormat)), QString("15"));
        QVERIFY(z.ui.optVSize1s->isChecked() && !z.ui.optVSize2s->isEnabled());
        QCOMPARE(z.ui.lblVerStatus->text(), QString("Below 3.30"));

        r.typePage("06"); // the same page on a titler from 3.30 on keeps its own numbers
        QCOMPARE(z.ui.lblTimeFormat->text(), QString("05"));
        QCOMPARE(z.ui.lblDateFormat->text(), QString("12"));
        QVERIFY(z.ui.optVSize2s->isChecked() && z.ui.optVSize2s->isEnabled());
        QCOMPARE(z.ui.lblVerStatus->text(), QString("3.30 and Above"));
    }
};

QTEST_MAIN(TestPageView)
#include "test_pageview.moc"
