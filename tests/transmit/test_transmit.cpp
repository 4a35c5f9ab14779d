// Sending pages as the operator does it: the address box, the "Send Screen" scopes and button with its stop, the
// lines as they reach the line, and the send modes.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/Zelk.h"
#include "link/SerialLink.h"
#include "pages/LineEditor.h"
#include "transmit/Transmission.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

namespace {

struct Rig
{
    RecordingPort port;
    TestWindow w{port};

    bool start()
    {
        if (!w.start())
            return false;
        w.window->activateWindow();
        if (!QTest::qWaitForWindowActive(w.window.get()))
            return false;
        tab(5);
        QTest::mouseClick(w.find<QRadioButton>("optCommPort(1)"), Qt::LeftButton);
        tab(1);
        return w.z.LinkOnline;
    }
    void tab(int index)
    {
        QTabBar* tabs = w.z.ui.tabMain;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index - 1).center());
    }
    void click(const char* name) { QTest::mouseClick(w.find<QAbstractButton>(name), Qt::LeftButton); }
    void enable(std::initializer_list<int> addresses, const QString& name = {})
    {
        for (int a : addresses) {
            w.z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), true);
            if (!name.isEmpty())
                w.z.table.setText(slot::titler(slot::kTitlerNameBlock, a),
                                  QStringLiteral("%1   %2 %1").arg(a, 2, 10, QLatin1Char('0')).arg(name));
        }
        w.z.link->FillTitlerLists();
    }
    void showPage(const QString& digits)
    {
        QLineEdit* box = w.z.ui.txtPageNumber;
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, digits);
    }
    // Types into a two-digit box over what it holds.
    static void retype(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    QList<QByteArray> sent() const
    {
        QList<QByteArray> out;
        for (const QByteArray& f : port.frames())
            if (f.mid(2) != "38" && f.mid(2) != "43")
                out.append(f);
        return out;
    }
    QString address() const { return w.z.ui.txtAddress->text(); }
    QString slotText(int s) const { return w.z.table.text(s); }
};

QList<QByteArray> withCode(const QList<QByteArray>& frames, const QByteArray& c)
{
    QList<QByteArray> out;
    for (const QByteArray& f : frames)
        if (f.mid(2, c.size()) == c)
            out.append(f);
    return out;
}

} // namespace

class TestTransmit : public QObject
{
    Q_OBJECT

private slots:
    void addressBoxTypesOverAndChecks()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({71, 73}, "STUDIO");
        QLineEdit* box = r.w.z.ui.txtAddress;
        QCOMPARE(r.address(), QString("01"));

        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_7);
        QCOMPARE(box->text(), QString("71"));
        QCOMPARE(r.slotText(slot::page(1, slot::kAddress)), QString("71"));
        QCOMPARE(r.w.z.ui.lblTitlerName->text(), QString("STUDIO 71"));
        QTest::keyClick(box, Qt::Key_3);
        QCOMPARE(box->text(), QString("73"));
        QCOMPARE(r.slotText(slot::page(1, slot::kAddress)), QString("73"));
        QCOMPARE(r.w.z.ui.lblTitlerName->text(), QString("STUDIO 73"));
        QTest::keyClicks(box, "a-"); // dropped
        QCOMPARE(box->text(), QString("73"));

        // A titler that is not enabled shows no name.
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClicks(box, "12");
        QCOMPARE(box->text(), QString("12"));
        QCOMPARE(r.w.z.ui.lblTitlerName->text(), QString());
        QCOMPARE(r.w.z.ui.lblVerStatus->text(), QString("3.30 and Above"));

        // Leaving the box empty is out of range: the message, and the stored address comes back.
        r.w.z.dialogs.clearShown();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), QString("12"));
        QCOMPARE(r.slotText(slot::page(1, slot::kAddress)), QString("12"));
        QCOMPARE(r.w.z.dialogs.shown().size(), 1);
        QCOMPARE(r.w.z.dialogs.shown()[0].title, QString("PXT-12 ZELK"));
        QCOMPARE(r.w.z.dialogs.shown()[0].text, QString("Number must be between 0 and 99"));
        QCOMPARE(r.w.z.dialogs.shown()[0].icon, QMessageBox::Warning);

        // Three digits do not fit: the third is dropped by the box, and 15 stands.
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClicks(box, "150");
        QCOMPARE(box->text(), QString("15"));
    }

    void broadcastAddressBlinksAndOldFirmwareShows()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 2), true);
        r.enable({2});
        z.table.setText(slot::page(1, slot::kTimeFormat), "07");
        QLineEdit* box = z.ui.txtAddress;
        Rig::retype(box, "00");
        QCOMPARE(r.slotText(slot::page(1, slot::kAddress)), QString("00"));
        QVERIFY(z.ui.tmrBlink->isActive());
        QCOMPARE(z.ui.tmrBlink->interval(), 10);

        Rig::retype(box, "02");
        QVERIFY(!z.ui.tmrBlink->isActive());
        QVERIFY(z.OldFirmwareTitler);
        QCOMPARE(z.ui.lblVerStatus->text(), QString("Below 3.30"));
        // The page's settings are copied whenever its address is handled.
        QCOMPARE(r.slotText(slot::page(1, slot::kTimeFormat + slot::kSettingsCopyOffset)), QString("07"));
    }

    void allSendsEachEnabledPageInOrder()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({2, 5});
        r.w.z.table.setText(slot::page(5, slot::kLine1 + 2), "ON FIVE");
        r.w.z.table.setText(slot::page(2, slot::kDisplayCode), "08");
        r.click("optSendAll");
        r.port.clearWrites();
        r.click("cmdSend");

        const QList<QByteArray> f = r.sent();
        QVERIFY(!f.isEmpty());
        for (const QByteArray& frame : f)
            QVERIFY2(frame.startsWith("02") || frame.startsWith("05"), frame.constData());
        // Page 2: display off, its nine lines, its settings closed by "32"; its display stays off.
        // Page 5: the same, then display on.
        int i = 0;
        for (const char* page : {"02", "05"}) {
            const QByteArray a(page);
            QCOMPARE(f.value(i++), a + "08");
            for (int n = 1; n <= 9; ++n)
                QCOMPARE(f.value(i++).left(7), a + "28" + QByteArray::number(1 + 20 * (n - 1)).rightJustified(3, '0'));
            while (i < f.size() && f[i] != a + "32")
                QVERIFY2(f[i++].startsWith(a), "settings go to the page's titler");
            QCOMPARE(f.value(i++), a + "32");
            if (a == "05")
                QCOMPARE(f.value(i++), a + "07");
        }
        QCOMPARE(i, f.size());
        QVERIFY(withCode(f, "28").contains(QByteArray("0528041ON FIVE") + QByteArray(13, ' ')));
        QVERIFY(withCode(f, "34").size() == 2); // the settings of each page really went out

        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("01")); // page 1 is shown again
        QCOMPARE(r.w.z.ui.cmdSend->text(), QString("Send"));
        QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, 2)), QString("02"));
        QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, 5)), QString("05"));
        QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, 1)), QString());
    }

    void linesSwitchedOffStayOff()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({3});
        for (int n : {2, 5})
            r.w.z.table.setInt32(slot::page(3, slot::kLineState1 + n - 1), slot::kLineOff);
        const QString mixed = QStringLiteral("abc") + QChar(30) + QStringLiteral("de");
        r.w.z.table.setText(slot::page(3, slot::kLine1), mixed);
        r.showPage("03");
        r.port.clearWrites();
        r.click("cmdSend"); // "Current"

        const QList<QByteArray> lines = withCode(r.sent(), "28");
        QList<QByteArray> cells;
        for (const QByteArray& l : lines)
            cells.append(l.mid(4, 3));
        QCOMPARE(cells, (QList<QByteArray>{"001", "041", "061", "101", "121", "141", "161"}));
        QCOMPARE(lines[0], QByteArray("0328001ABC\x01" "DE") + QByteArray(14, ' '));
        QCOMPARE(r.sent().first(), QByteArray("0308"));
    }

    void broadcastSendsOnlyTheLines()
    {
        Rig r;
        QVERIFY(r.start());
        r.showPage("06");
        Rig::retype(r.w.z.ui.txtAddress, "00");
        r.click("optSendAll"); // the scope does not matter for "00"
        r.port.clearWrites();
        r.click("cmdSend");

        const QList<QByteArray> f = r.sent();
        QCOMPARE(f.size(), 9);
        QCOMPARE(withCode(f, "28").size(), 9);
        for (const QByteArray& frame : f)
            QVERIFY(frame.startsWith("0028"));
        for (int a = 1; a <= 99; ++a)
            QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, a)), QString("06"));
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("06"));

        // Lines sent to another titler than the page's own are recorded for that titler.
        Rig::retype(r.w.z.ui.txtAddress, "06");
        r.w.z.transmission->SendPageLines("05", 0);
        QCOMPARE(withCode(r.sent(), "28").last().left(2), QByteArray("05"));
        r.showPage("07");
        r.w.z.transmission->SendPageLines("05", 0);
        QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, 5)), QString("07"));
        QCOMPARE(r.slotText(slot::titler(slot::kTitlerShownPageBlock, 7)), QString("06"));
    }

    void rangeBackwardsSendsNothing()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({3, 4, 5});
        r.click("optSendRange");
        QVERIFY(r.w.z.ui.txtRangeFrom->isEnabled());
        Rig::retype(r.w.z.ui.txtRangeFrom, "05");
        Rig::retype(r.w.z.ui.txtRangeTo, "03");
        r.port.clearWrites();
        r.click("cmdSend");
        QVERIFY(r.sent().isEmpty());
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("05"));

        Rig::retype(r.w.z.ui.txtRangeFrom, "04");
        Rig::retype(r.w.z.ui.txtRangeTo, "07");
        r.click("cmdSend");
        QList<QByteArray> offs = withCode(r.sent(), "08");
        QCOMPARE(offs, (QList<QByteArray>{"0408", "0508"})); // 6 and 7 are not enabled
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("04"));

        r.click("optSendCur"); // the range boxes are free again
        QVERIFY(!r.w.z.ui.txtRangeFrom->isEnabled());
    }

    void stopEndsBeforeTheNextPage()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({1, 2, 3});
        r.click("optSendAll");
        r.port.clearWrites();
        Zelk& z = r.w.z;
        QString statusDuring;
        bool activeDuring = false;
        QTimer stopper;
        stopper.setInterval(0);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (z.ui.cmdSend->text() == "Stop" && z.ui.txtPageNumber->text() == "02") {
                stopper.stop();
                statusDuring = z.ui.lblProgStatus[3]->text();
                activeDuring = z.TransmissionActive;
                QTest::mouseClick(z.ui.cmdSend, Qt::LeftButton);
            }
        });
        stopper.start();
        r.click("cmdSend");
        stopper.stop();

        QCOMPARE(statusDuring, QString("Sending Page(s)"));
        QVERIFY(activeDuring);
        const QList<QByteArray> offs = withCode(r.sent(), "08");
        QCOMPARE(offs, (QList<QByteArray>{"0108", "0208"}));
        QCOMPARE(withCode(r.sent(), "28").size(), 18); // page 2 went out whole
        QCOMPARE(z.ui.cmdSend->text(), QString("Send"));
        QCOMPARE(z.ui.txtPageNumber->text(), QString("02")); // the last page sent stays on view
        QVERIFY(!z.TransmissionActive);
        QVERIFY(!z.SendStopRequested);
        QVERIFY(!z.PageRefreshing);
        QCOMPARE(z.ui.lblProgStatus[3]->text(), QString("Page(s) Sent"));

        r.port.clearWrites();
        r.click("cmdSend"); // a new send runs to the end
        QCOMPARE(withCode(r.sent(), "08"), (QList<QByteArray>{"0108", "0208", "0308"}));
    }

    void sendModesAreStoredAndRestored()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        r.click("optSendContinuous");
        QCOMPARE(r.slotText(slot::kSendMode), QString("Cont"));
        r.click("optSendEOL");
        QCOMPARE(r.slotText(slot::kSendMode), QString("EOL"));
        r.click("optSendManual");
        QCOMPARE(r.slotText(slot::kSendMode), QString("Manual"));

        z.table.setText(slot::kSendMode, "EOL");
        z.table.setInt16(slot::kTypeMode, 2);
        z.transmission->RestoreEditorPreferences();
        QVERIFY(z.ui.optSendEOL->isChecked());
        QVERIFY(!z.OvertypeMode);
        z.table.setText(slot::kSendMode, "other");
        z.table.setInt16(slot::kTypeMode, 1);
        z.transmission->RestoreEditorPreferences();
        QVERIFY(z.ui.optSendEOL->isChecked());
        QVERIFY(z.OvertypeMode);

        // In the end-of-line mode, Enter sends the line just finished to the page's titler.
        r.enable({1});
        r.port.clearWrites();
        QLineEdit* line2 = z.ui.txtMain[2];
        QTest::mouseClick(line2, Qt::LeftButton, {}, QPoint(4, line2->height() / 2));
        QTest::keyClick(line2, Qt::Key_Home);
        QTest::keyClicks(line2, "HI");
        QVERIFY(r.sent().isEmpty());
        QTest::keyClick(line2, Qt::Key_Return);
        QCOMPARE(r.sent(), (QList<QByteArray>{QByteArray("0128021HI") + QByteArray(18, ' ')}));

        // Continuous: each change goes out, but never under an address the titlers would misread.
        r.click("optSendContinuous");
        z.table.setText(slot::page(2, slot::kAddress), "1");
        r.showPage("02");
        QCOMPARE(z.ui.txtAddress->text(), QString("1"));
        r.port.clearWrites();
        QLineEdit* line3 = z.ui.txtMain[3];
        QTest::mouseClick(line3, Qt::LeftButton, {}, QPoint(4, line3->height() / 2));
        QTest::keyClick(line3, Qt::Key_Home);
        QTest::keyClicks(line3, "AB");
        QVERIFY(r.sent().isEmpty());
        Rig::retype(z.ui.txtAddress, "01");
        QTest::mouseClick(line3, Qt::LeftButton, {}, QPoint(4, line3->height() / 2));
        QTest::keyClick(line3, Qt::Key_Home);
        QTest::keyClicks(line3, "C");
        QCOMPARE(r.sent(), (QList<QByteArray>{QByteArray("0128041CB") + QByteArray(18, ' ')}));
    }
};

QTEST_MAIN(TestTransmit)
#include "test_transmit.moc"
