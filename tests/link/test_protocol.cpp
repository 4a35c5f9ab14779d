// Command framing, gating and pacing, checked against a recording port; the status line's decision table.

#include "RecordingPort.h"
#include "core/Errors.h"
#include "app/Zelk.h"
#include "link/CommandProtocol.h"
#include "link/StatusRules.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

class TestProtocol : public QObject
{
    Q_OBJECT

    // A link with the window's address box and speed options, no window around them.
    struct Link
    {
        Zelk z;
        RecordingPort port;
        CommandProtocol protocol{z, port};
        QLineEdit address;
        QRadioButton b38400, b9600, b4800;

        Link()
        {
            z.ui.txtAddress = &address;
            z.ui.opt38400Baud = &b38400;
            z.ui.opt9600Baud = &b9600;
            z.ui.opt4800Baud = &b4800;
            b9600.setChecked(true);
            port.open(1);
            z.LinkOnline = true;
        }
        void enable(int a, bool on = true) { z.table.setBool(slot::titler(slot::kTitlerEnabledBlock, a), on); }
        void markOld(int a) { z.table.setBool(slot::titler(slot::kTitlerVersionBlock, a), true); }
        void speed(int baud)
        {
            b38400.setChecked(baud == 38400);
            b4800.setChecked(baud == 4800);
            b9600.setChecked(baud == 9600);
        }
        QList<QByteArray> frames() const { return port.frames(); }
    };

private slots:
    void formatParameter()
    {
        QString v;
        QCOMPARE(FormatParameter(v, 180, 1, "3"), QString("001"));
        QCOMPARE(v, QString("1")); // the clamped number goes back to the caller
        v = "200";
        QCOMPARE(FormatParameter(v, 180, 1, "3"), QString("180"));
        QCOMPARE(v, QString("180"));
        v = "7";
        QCOMPARE(FormatParameter(v, 36, 1, "2"), QString("07"));
        v = "2.5";
        QCOMPARE(FormatParameter(v, 99, 1, "2"), QString("02")); // halves go to even
        v = "3.5";
        QCOMPARE(FormatParameter(v, 99, 1, "2"), QString("04"));
        v = "1234";
        QCOMPARE(FormatParameter(v, 9999, 1, "2"), QString("1234")); // longer than the pattern stays whole
        v = "5";
        QCOMPARE(FormatParameter(v, 99, 1, "0000"), QString("0005"));
        v = "ab";
        QVERIFY_THROWS_EXCEPTION(RunTimeError, FormatParameter(v, 99, 1, "2"));
    }

    void firmwareRules()
    {
        QString c = "48", p = "02";
        QVERIFY(!firmwareBlocks(true, 9600, c, p));
        QCOMPARE(c + "|" + p, QString("04|"));
        c = "49", p = "03";
        QVERIFY(!firmwareBlocks(true, 9600, c, p));
        QCOMPARE(c + "|" + p, QString("03|"));
        c = "48", p = "05";
        QVERIFY(firmwareBlocks(true, 9600, c, p));
        for (int baud : {4800, 38400}) {
            c = "07", p = "";
            QVERIFY(firmwareBlocks(true, baud, c, p));
        }
        c = "", p = "";
        QVERIFY(firmwareBlocks(true, 9600, c, p)); // an empty code asks "is it old firmware?"
        c = "48", p = "05";
        QVERIFY(!firmwareBlocks(false, 38400, c, p));
        QCOMPARE(c + "|" + p, QString("48|05"));
    }

    void framesAndAddresses()
    {
        Link l;
        l.address.setText("05");
        l.enable(5);
        QString a;
        l.protocol.SendCommand(a, "07");
        QCOMPARE(a, QString("05"));
        QCOMPARE(l.port.writes.size(), 1); // one write per frame
        QCOMPARE(l.port.writes[0].bytes, QByteArray("\x1b" "0507"));

        // "00" goes out with nobody enabled, and format codes to it stay as they are.
        Link b;
        b.protocol.SendCommand(QString("00"), "48", "05");
        b.protocol.SendCommand(QString("00"), "28", "001", "HELLO");
        QCOMPARE(b.frames(), (QList<QByteArray>{"0048" "05", "0028" "001" "HELLO"}));

        QVERIFY(!b.protocol.IsTitlerEnabled(""));
        QVERIFY(b.protocol.IsTitlerEnabled("00"));
        QVERIFY(!b.protocol.IsTitlerEnabled("12"));
        b.enable(12);
        QVERIFY(b.protocol.IsTitlerEnabled("12"));
    }

    void refusedCommandsStillPace()
    {
        Link l; // titler 12 not enabled
        QElapsedTimer t;
        t.start();
        l.protocol.SendCommand(QString("12"), "25");
        QVERIFY(l.port.writes.isEmpty());
        QVERIFY(t.elapsed() >= kClearPauseMs);
        QVERIFY(l.port.waitingPolls > 0); // the drain was still checked

        l.z.PageRefreshing = true;
        l.port.waitingPolls = 0;
        l.protocol.SendCommand(QString("00"), "25");
        QVERIFY(l.port.writes.isEmpty());
        QCOMPARE(l.port.waitingPolls, 0); // returned before the drain and the pause
        l.z.PageRefreshing = false;
        l.z.LinkOnline = false;
        l.protocol.SendCommand(QString("00"), "07");
        QVERIFY(l.port.writes.isEmpty());
    }

    void oldFirmwareTitler()
    {
        Link l;
        l.enable(3);
        l.markOld(3);
        l.protocol.SendCommand(QString("03"), "48", "02");
        l.protocol.SendCommand(QString("03"), "48", "03");
        l.protocol.SendCommand(QString("03"), "49", "05");
        QCOMPARE(l.frames(), (QList<QByteArray>{"0304", "0303"}));
        for (int baud : {4800, 38400}) {
            l.speed(baud);
            l.port.clearWrites();
            l.protocol.SendCommand(QString("03"), "07");
            l.protocol.SendCommand(QString("03"), "48", "02");
            QVERIFY2(l.port.writes.isEmpty(), qPrintable(QString::number(baud)));
        }
    }

    void pacing()
    {
        QCOMPARE(pauseForCode("38", false), kQuestionPauseMs);
        QCOMPARE(pauseForCode("32", false), kQuestionPauseMs);
        QCOMPARE(pauseForCode("25", false), kClearPauseMs);
        QCOMPARE(pauseForCode("25", true), 0);
        QCOMPARE(pauseForCode("03", false), 0); // a rewritten format code is not paced
        QCOMPARE(pauseForCode("07", false), 0);

        Link l;
        QElapsedTimer t;
        t.start();
        l.protocol.SendCommand(QString("00"), "48", "02");
        QVERIFY(t.elapsed() >= kQuestionPauseMs);

        // At 38400 every write is followed by a short gap.
        l.speed(38400);
        t.restart();
        for (int i = 0; i < 4; ++i)
            l.protocol.SendCommand(QString("00"), "07");
        QVERIFY(t.elapsed() >= 4 * kFastLineGapMs);
    }

    void drainWaitsForTheLine()
    {
        Link l;
        l.port.drainAtLineSpeed = true; // 9600 baud: about 1 ms a byte
        const QString text(100, QLatin1Char('A'));
        QElapsedTimer t;
        t.start();
        l.protocol.SendCommand(QString("00"), "28", "001", text);
        QVERIFY(t.elapsed() >= 100); // 108 bytes at 960 bytes/s
        QCOMPARE(l.port.bytesWaiting(), 0);
        QVERIFY(l.z.table.at(slot::kErrorNumber).isEmpty());
    }

    void stalledLineDoesNotHang()
    {
        Link l;
        l.port.stalled = true;
        QElapsedTimer t;
        t.start();
        l.protocol.SendCommand(QString("00"), "07");
        // Bound: 4 bytes at 9600 baud plus one second; then the error is recorded and the call returns.
        QVERIFY(t.elapsed() >= 1000);
        QCOMPARE(l.z.table.toInt(slot::kErrorNumber), err::kLineStalled);
        QVERIFY(l.z.table.text(slot::kErrorSource).contains("SendCommand"));
    }

    void closedPortRecordsError()
    {
        Link l;
        l.z.table.setText(60, "stale");
        l.port.close();
        l.protocol.SendCommand(QString("00"), "07");
        QCOMPARE(l.z.table.toInt(slot::kErrorNumber), err::kPortNotOpen);
        QVERIFY(l.z.table.at(60).isEmpty()); // the rest of the error block is emptied
    }

    void rosterListsTakeOverFromSlots()
    {
        Link l;
        QListWidget names, versions;
        names.setSelectionMode(QAbstractItemView::MultiSelection);
        versions.setSelectionMode(QAbstractItemView::MultiSelection);
        for (int i = 0; i < 99; ++i) {
            names.addItem(QString::number(i + 1));
            versions.addItem(QString::number(i + 1));
        }
        l.z.ui.lstTitlerNames = &names;
        l.z.ui.lstTitlerVersion = &versions;
        l.enable(7); // the slot alone no longer counts once the list exists
        QVERIFY(!l.protocol.IsTitlerEnabled("07"));
        names.item(6)->setSelected(true);
        QVERIFY(l.protocol.IsTitlerEnabled("07"));
        versions.item(6)->setSelected(true);
        QString c, p;
        QVERIFY(l.protocol.FirmwareFilter("07", c, p));
    }

    void statusTable()
    {
        StatusPanels p;
        StatusInputs in;
        in.linkOnline = true;
        in.commPortNumber = 2;
        applyStatusCode(p, 1, in);
        QCOMPARE(p.text[1], QString("Online"));
        QCOMPARE(p.text[2], QString("Comm Port 2"));
        applyStatusCode(p, 2, in);
        QCOMPARE(p.text[3], QString("Sending Page(s)"));
        QCOMPARE(p.colour[3], PanelColour::Green);

        // Working offline turns the first call into 16; progress codes then still fill panel 3.
        in.workOffline = true;
        applyStatusCode(p, 3, in);
        QCOMPARE(p.text[1], QString("Working Offline"));
        QCOMPARE(p.lastStatus, qint16(16));
        QCOMPARE(p.text[2], QString());
        applyStatusCode(p, 10, in);
        QCOMPARE(p.text[1], QString("Working Offline"));
        QCOMPARE(p.text[3], QString("Sending Setting(s)"));

        // The titler on screen not enabled while the clock runs: "Disabled" instead of the progress.
        StatusPanels d;
        StatusInputs dis;
        dis.clockTimerEnabled = true;
        dis.screenTitlerEnabled = false;
        applyStatusCode(d, 2, dis);
        QCOMPARE(d.text[1], QString("Disabled"));
        QCOMPARE(d.colour[1], PanelColour::Yellow);
        QCOMPARE(d.text[3], QString());

        StatusPanels o;
        StatusInputs off;
        applyStatusCode(o, 8, off);
        QCOMPARE(o.text[1] + "|" + o.text[2], QString("Offline|Invalid CommPort"));
        QCOMPARE(o.colour[1], PanelColour::Red);
        off.linkOnline = true;
        applyStatusCode(o, 8, off);
        QCOMPARE(o.text[2], QString("No PXT Detected"));
        // Back online from "Offline" clears the progress panel.
        o.text[3] = "Page(s) Sent";
        applyStatusCode(o, 1, off);
        QCOMPARE(o.text[3], QString());
        QCOMPARE(o.text[1], QString("Online"));
    }
};

QTEST_MAIN(TestProtocol)
#include "test_protocol.moc"
