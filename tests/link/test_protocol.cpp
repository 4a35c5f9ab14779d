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
        // value, max, width, the parameter, the clamped value given back
        const QList<std::tuple<QString, int, QString, QString, QString>> cases = {
            {"", 180, "3", "001", "1"},          {"200", 180, "3", "180", "180"}, {"7", 36, "2", "07", "7"},
            {"2.5", 99, "2", "02", "2"},         {"3.5", 99, "2", "04", "4"}, // halves go to even
            {"1234", 9999, "2", "1234", "1234"},                              // longer than the pattern stays whole
            {"5", 99, "0000", "0005", "5"},
        };
        for (auto [value, max, width, parameter, after] : cases) {
            QCOMPARE(FormatParameter(value, qint16(max), 1, width), parameter);
            QCOMPARE(value, after);
        }
        QString v = "ab";
        QVERIFY_THROWS_EXCEPTION(RunTimeError, FormatParameter(v, 99, 1, "2"));
    }

    void firmwareRules()
    {
        // old firmware, baud, code and parameter in, blocked, code and parameter out
        const QList<std::tuple<bool, int, QString, QString, bool, QString>> cases = {
            {true, 9600, "48", "02", false, "04|"},     {true, 9600, "49", "03", false, "03|"},
            {true, 9600, "48", "05", true, ""},         {true, 4800, "07", "", true, ""},
            {true, 38400, "07", "", true, ""},          {true, 9600, "", "", true, ""}, // empty: "is it old firmware?"
            {false, 38400, "48", "05", false, "48|05"},
        };
        for (auto [old, baud, c, p, blocked, out] : cases) {
            QCOMPARE(firmwareBlocks(old, baud, c, p), blocked);
            if (!blocked)
                QCOMPARE(c + "|" + p, out);
        }
    }

    void framesAndAddresses()
    {
        Link l;
        l.address.setText("05");
        l.enable(5);
        QString a;
        l.protocol.SendCommand(a, "07");
        QCOMPARE(a, QString("05"));                        // an empty address is the box's, given back
        l.protocol.SendCommand(QString("00"), "48", "05"); // format codes to every titler stay as they are
        QCOMPARE(l.port.writes.size(), 2);                 // one write per frame
        QCOMPARE(l.frames(), (QList<QByteArray>{"0507", "004805"}));
        QVERIFY(!l.protocol.IsTitlerEnabled(""));
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
