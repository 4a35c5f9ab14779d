// Sending pages as the operator does it: the address box, the "Send Screen" scopes, Send and its stop, the send modes.

#include "RecordingPort.h"
#include "TestWindow.h"
#include "app/SettingsFile.h"
#include "app/TableFile.h"
#include "app/Zelk.h"
#include "core/Errors.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"
#include "link/SerialLink.h"
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
        return w.startOnline();
    }
    void click(const char* name) { w.click(name); }
    void enable(const QList<int>& addresses) { w.enable(addresses); }
    void showPage(const QString& digits)
    {
        QTest::mouseClick(w.z.ui.txtPageNumber, Qt::LeftButton);
        QTest::keyClicks(w.z.ui.txtPageNumber, digits);
    }
    // Types into a two-digit box over what it holds, and leaves it.
    static void retype(QLineEdit* box, const QString& text)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    QList<QByteArray> sent(const QByteArray& code = {}) const { return port.sent(code); }
    QString slotText(int s) const { return w.z.table.text(s); }
    QString shownPage(int titler) const { return slotText(slot::titler(slot::kTitlerShownPageBlock, titler)); }
};

} // namespace

class TestTransmit : public QObject
{
    Q_OBJECT

private slots:
    void addressBoxTypesOverAndChecks()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        for (int a : {71, 73})
            z.table.setText(slot::titler(slot::kTitlerNameBlock, a), QStringLiteral("%1   STUDIO %1").arg(a));
        r.enable({71, 73});
        QLineEdit* box = z.ui.txtAddress;
        const int stored = slot::page(1, slot::kAddress);
        QCOMPARE(box->text(), QString("01"));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Home);
        for (const auto& [key, typed] : {std::pair{Qt::Key_7, QString("71")}, std::pair{Qt::Key_3, QString("73")}}) {
            QTest::keyClick(box, key); // types over the digit at the caret
            QCOMPARE(box->text(), typed);
            QCOMPARE(r.slotText(stored), typed);
            QCOMPARE(z.ui.lblTitlerName->text(), "STUDIO " + typed);
        }
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClicks(box, "12");
        QCOMPARE(box->text(), QString("12"));
        QCOMPARE(z.ui.lblTitlerName->text(), QString()); // not enabled: no name
        QCOMPARE(z.ui.lblVerStatus->text(), QString("3.30 and Above"));

        // Left empty it is out of range: the message, and the stored address comes back.
        z.dialogs.clearShown();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        for (const char* typed : {"a", "-"}) { // letters and signs are not typed
            QTest::keyClicks(box, typed);
            QCOMPARE(box->text(), QString());
        }
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), QString("12"));
        QCOMPARE(r.slotText(stored), QString("12"));
        QCOMPARE(z.dialogs.shown().size(), 1);
        QCOMPARE(z.dialogs.shown()[0].title, QString("PXT-12 ZELK"));
        QCOMPARE(z.dialogs.shown()[0].text, QString("Number must be between 0 and 99"));
        QCOMPARE(z.dialogs.shown()[0].icon, QMessageBox::Warning);

        z.table.setBool(slot::titler(slot::kTitlerVersionBlock, 2), true);
        r.enable({2});
        z.table.setText(slot::page(1, slot::kTimeFormat), "07");
        Rig::retype(box, "00");
        QCOMPARE(r.slotText(stored), QString("00"));
        QVERIFY(z.ui.tmrBlink->isActive());
        Rig::retype(box, "02");
        QVERIFY(!z.ui.tmrBlink->isActive());
        QVERIFY(z.OldFirmwareTitler);
        QCOMPARE(z.ui.lblVerStatus->text(), QString("Below 3.30"));
        // The page's settings are copied whenever its address is handled.
        QCOMPARE(r.slotText(slot::page(1, slot::kTimeFormat + slot::kSettingsCopyOffset)), QString("07"));

        // A page whose stored address is empty (a damaged file): one message for the send, then quiet refusal.
        z.table.setText(slot::page(9, slot::kAddress), "");
        r.showPage("09");
        z.dialogs.clearShown();
        r.port.clearWrites();
        r.click("cmdSend");
        QCOMPARE(z.dialogs.shown().size(), 1);
        QVERIFY(r.sent().isEmpty());
    }

    void linesOffStayOffAndBroadcastSendsOnlyLines()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({3});
        for (int n : {2, 5})
            r.w.z.table.setInt32(slot::page(3, slot::kLineState1 + n - 1), slot::kLineOff);
        r.w.z.table.setText(slot::page(3, slot::kLine1), QStringLiteral("abc") + QChar(30) + QStringLiteral("de"));
        r.showPage("03");
        r.port.clearWrites();
        r.click("cmdSend"); // "Current"

        const QList<QByteArray> lines = r.sent("28");
        QList<QByteArray> cells;
        for (const QByteArray& l : lines)
            cells.append(l.mid(4, 3));
        QCOMPARE(cells, (QList<QByteArray>{"001", "041", "061", "101", "121", "141", "161"}));
        QCOMPARE(lines[0], QByteArray("0328001ABC\x01" "DE") + QByteArray(14, ' '));
        QCOMPARE(r.sent().first(), QByteArray("0308"));

        // "00" reaches every titler with the lines alone, whatever the scope.
        r.showPage("06");
        Rig::retype(r.w.z.ui.txtAddress, "00");
        r.click("optSendAll");
        r.port.clearWrites();
        r.click("cmdSend");
        const QList<QByteArray> f = r.sent();
        QCOMPARE(f.size(), 9);
        for (const QByteArray& frame : f)
            QVERIFY(frame.startsWith("0028"));
        for (int a = 1; a <= 99; ++a)
            QCOMPARE(r.shownPage(a), QString("06"));
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("06"));

        // Lines sent to another titler than the page's own are recorded for that titler.
        r.showPage("07");
        r.w.z.transmission->SendPageLines("05", 0);
        QVERIFY(r.sent("28").last().startsWith("05"));
        QCOMPARE(r.shownPage(5), QString("07"));
        QCOMPARE(r.shownPage(7), QString("06"));
    }

    void selectedSendsTickedPagesOfEnabledTitlers()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({2, 4});
        for (int p : {2, 3, 6})
            r.w.z.table.setInt16(slot::page(p, slot::kSelected), 1); // 3 and 6: ticked, titlers not enabled
        r.showPage("05");
        r.click("optSendSel");
        r.port.clearWrites();
        r.click("cmdSend");
        QCOMPARE(r.sent("08"), QList<QByteArray>{"0208"});
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("01"));
    }

    // A line that stops taking bytes ends the send at the page it was on, as an unplugged adapter does: one error,
    // the port closed and shown as a port that failed to open, until the operator chooses it again.
    void stalledLineEndsTheSendAsALostPort()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        const auto panels = [&r] { return r.w.panel(1) + "|" + r.w.panel(2); };
        // "Current" on page 1, whose titler is not enabled: the lines go out, the drain after them finds the line
        // stuck, and the lost port shows whatever titler is on screen.
        r.port.stalled = true;
        r.click("cmdSend");
        QCOMPARE(panels(), QString("Offline|Invalid CommPort"));
        r.port.stalled = false;
        r.w.showTab(5);
        r.click("optCommPort(1)");
        r.w.showTab(1);

        r.enable({2, 3});
        r.click("optSendAll");
        r.port.clearWrites();
        r.port.stalled = true;
        const int errors = z.errorsRecorded;
        r.click("cmdSend");
        QCOMPARE(r.port.writes.size(), 1); // page 2's display-off never left: nothing more was tried
        QCOMPARE(z.errorsRecorded - errors, 1);
        QCOMPARE(z.table.toInt(slot::kErrorNumber), err::kLineStalled);
        QVERIFY(!z.LinkOnline && !r.port.isOpen());
        QCOMPARE(z.ui.cmdSend->text(), QString("Send"));
        QCOMPARE(panels(), QString("Offline|Invalid CommPort"));
        for (int i : {1, 2})
            QCOMPARE(z.ui.lblProgStatus[i]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(z.ui.lblPortStatus->text(), QString("Port Unavailable"));

        // It stays so until the operator chooses the port: with "00" on screen under the clock, and through a file
        // read that would apply its stored port.
        r.port.stalled = false;
        Rig::retype(z.ui.txtAddress, "00");
        const QString file = r.w.home() + "/show.zlk";
        QVERIFY(z.settingsFile->WriteTableFile(file) && z.settingsFile->ReadTableFile(file));
        QTest::qWait(300);
        QVERIFY(!z.LinkOnline && !r.port.isOpen());
        QCOMPARE(r.w.panel(1), QString("Offline"));
        QCOMPARE(r.port.writes.size(), 1);

        r.w.showTab(5);
        r.click("optCommPort(1)");
        QVERIFY(z.LinkOnline);
        QCOMPARE(r.w.panel(1), QString("Online"));
    }

    // "Work Offline" keeps everything off the line: the send controls are disabled, and a file read meanwhile (which
    // applies its stored port) does not go online; choosing a port, or the online look, enables them again.
    void workingOfflineStaysOffline()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        r.enable({1}); // the titler on screen, so the online look is not "Disabled"
        const QList<QWidget*> sending = {z.ui.optSendManual,      z.ui.optSendContinuous, z.ui.optSendEOL,
                                         z.ui.cmdIdentify,        z.ui.cmdSend,           z.ui.cmdClearPxt,
                                         z.ui.cmdCloneSettingsSend, z.ui.cmdSendAllSettings, z.ui.cmdSendSettings,
                                         z.ui.cmdSetDatePC,       z.ui.cmdSetTimePC};
        QVERIFY(!sending.contains(nullptr));
        auto enabledCount = [&sending] { // switched on themselves, whichever tab shows them
            return int(std::count_if(sending.begin(), sending.end(),
                                     [](QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }));
        };
        r.w.showTab(5);
        r.click("optWorkOffline");
        QCOMPARE(enabledCount(), 0);
        const QString file = r.w.home() + "/show.zlk";
        QVERIFY(z.settingsFile->WriteTableFile(file));
        r.port.close();
        r.port.clearWrites();
        QVERIFY(z.settingsFile->ReadTableFile(file));
        QVERIFY(!z.LinkOnline && !r.port.isOpen());
        z.protocol->SendCommand(QString("00"), "07");
        QVERIFY(r.port.writes.isEmpty());
        QCOMPARE(r.w.panel(1), QString("Working Offline"));
        r.port.open(1);
        r.port.vanish(); // the adapter pulled meanwhile: recorded, but the operator's choice stays on the screen
        QCOMPARE(z.ui.lblPortStatus->text() + "|" + r.w.panel(1), QString("Working Offline|Working Offline"));

        r.click("optCommPort(1)");
        QCOMPARE(enabledCount(), sending.size());
    }

    // Closing the window while "All" runs stops the send first; nothing goes out once the settings are saved.
    void closingDuringAllStopsTheSend()
    {
        Rig r;
        QVERIFY(r.start());
        r.enable({1, 2, 3, 4, 5, 6, 7, 8, 9});
        r.port.drainAtLineSpeed = true; // each page takes a while at 9600 baud
        r.click("optSendAll");
        r.port.clearWrites();
        int pagesAtClose = -1;
        QTimer::singleShot(300, [&] {
            pagesAtClose = int(r.sent("08").size());
            r.w.close();
        });
        r.click("cmdSend");
        QVERIFY(r.w.z.EventsSuppressed);
        QVERIFY(pagesAtClose >= 1 && pagesAtClose < 9);
        QCOMPARE(int(r.sent("08").size()), pagesAtClose); // the page under way ended, no further page began
        PageTable saved;
        QVERIFY(readTableFile(saved, r.w.home() + "/ZELK.ini").opened);
        QCOMPARE(saved.text(slot::titler(slot::kTitlerShownPageBlock, pagesAtClose + 1)), QString());
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
        QCOMPARE(r.sent("08"), (QList<QByteArray>{"0408", "0508"})); // 6 and 7 are not enabled
        QCOMPARE(r.w.z.ui.txtPageNumber->text(), QString("04"));
        r.click("optSendCur");
        QVERIFY(!r.w.z.ui.txtRangeFrom->isEnabled());
    }

    void stopEndsBeforeTheNextPage()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        r.enable({1, 2, 3});
        r.click("optSendAll");
        r.port.clearWrites();
        QString statusDuring;
        bool activeDuring = false;
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (z.ui.cmdSend->text() == "Stop" && z.ui.txtPageNumber->text() == "02") {
                stopper.stop();
                statusDuring = z.ui.lblProgStatus[3]->text();
                activeDuring = z.TransmissionActive;
                QTest::mouseClick(z.ui.cmdSend, Qt::LeftButton);
            }
        });
        stopper.start(0);
        r.click("cmdSend");
        stopper.stop();

        QCOMPARE(statusDuring, QString("Sending Page(s)"));
        QVERIFY(activeDuring);
        QCOMPARE(r.sent("08"), (QList<QByteArray>{"0108", "0208"}));
        QCOMPARE(r.sent("28").size(), 18); // page 2 went out whole
        QCOMPARE(z.ui.cmdSend->text(), QString("Send"));
        QCOMPARE(z.ui.txtPageNumber->text(), QString("02")); // the last page sent stays on view
        QVERIFY(!z.TransmissionActive && !z.SendStopRequested && !z.PageRefreshing);
        QCOMPARE(z.ui.lblProgStatus[3]->text(), QString("Page(s) Sent"));

        r.port.clearWrites();
        r.click("cmdSend"); // a new send runs to the end
        QCOMPARE(r.sent("08"), (QList<QByteArray>{"0108", "0208", "0308"}));
    }

    void sendModesAreStoredAndRestored()
    {
        Rig r;
        QVERIFY(r.start());
        Zelk& z = r.w.z;
        const std::pair<const char*, const char*> modes[] = {
            {"optSendContinuous", "Cont"}, {"optSendEOL", "EOL"}, {"optSendManual", "Manual"}};
        for (const auto& [button, stored] : modes) {
            r.click(button);
            QCOMPARE(r.slotText(slot::kSendMode), QString(stored));
        }
        z.table.setText(slot::kSendMode, "EOL");
        z.table.setInt16(slot::kTypeMode, 2);
        z.transmission->RestoreEditorPreferences();
        QVERIFY(z.ui.optSendEOL->isChecked());
        QVERIFY(!z.OvertypeMode);
        z.table.setText(slot::kSendMode, "other"); // an unknown mode leaves the choice as it is
        z.table.setInt16(slot::kTypeMode, 1);
        z.transmission->RestoreEditorPreferences();
        QVERIFY(z.ui.optSendEOL->isChecked());
        QVERIFY(z.OvertypeMode);

        // Continuous: each change goes out, never under an address the titlers would misread: a one-digit
        // address from a file is settled in the box first, as leaving the box would.
        r.enable({1});
        r.click("optSendContinuous");
        z.table.setText(slot::page(2, slot::kAddress), "1");
        r.showPage("02");
        QCOMPARE(z.ui.txtAddress->text(), QString("1"));
        r.port.clearWrites();
        QLineEdit* line3 = z.ui.txtMain[3];
        QTest::mouseClick(line3, Qt::LeftButton, {}, QPoint(4, line3->height() / 2));
        QTest::keyClick(line3, Qt::Key_Home);
        QTest::keyClicks(line3, "AB");
        QCOMPARE(z.ui.txtAddress->text(), QString("01"));
        QCOMPARE(r.slotText(slot::page(2, slot::kAddress)), QString("01"));
        QCOMPARE(r.sent(), (QList<QByteArray>{QByteArray("0128041A") + QByteArray(19, ' '),
                                              QByteArray("0128041AB") + QByteArray(18, ' ')}));
    }
};

QTEST_MAIN(TestTransmit)
#include "test_transmit.moc"
