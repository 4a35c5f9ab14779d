#pragma once
// Every command to a titler goes through SendCommand: it frames the command for one address, gates it (link state,
// enabled titler, firmware generation), writes it in one write, waits until the port has passed it on and paces
// the line by the command's code.

#include <QElapsedTimer>
#include <QString>
#include <optional>

class SerialPort;
class Zelk;

// Frame and pacing constants of the titlers' protocol.
namespace code {
inline const QString kDisplayOn = QStringLiteral("07");
inline const QString kDisplayOff = QStringLiteral("08");
inline const QString kLineOff = QStringLiteral("24");
inline const QString kClear = QStringLiteral("25");
inline const QString kWriteText = QStringLiteral("28");
inline const QString kCloseSettings = QStringLiteral("32");
inline const QString kSetTime = QStringLiteral("36");
inline const QString kAskTime = QStringLiteral("38");
inline const QString kSetDate = QStringLiteral("41");
inline const QString kAskDate = QStringLiteral("43");
inline const QString kTimeFormat = QStringLiteral("48");
inline const QString kDateFormat = QStringLiteral("49");
inline const QString kOldFormat3 = QStringLiteral("03");
inline const QString kOldFormat2 = QStringLiteral("04");
inline const QString kBroadcast = QStringLiteral("00");
inline const QString kTimeOn = QStringLiteral("34");
inline const QString kTimePosition = QStringLiteral("37");
inline const QString kDateOn = QStringLiteral("39");
inline const QString kDatePosition = QStringLiteral("42");
inline const QString kHPosition = QStringLiteral("44");
inline const QString kVPosition = QStringLiteral("46");
} // namespace code

constexpr int kQuestionPauseMs = 40; // after the question and setting codes that make the titler work
constexpr int kClearPauseMs = 150;   // after a screen clear
constexpr int kFastLineGapMs = 5;    // after every write at 38400 baud

// The pause a code needs after it has left the port (the code as the firmware filter left it).
int pauseForCode(const QString& code, bool skipClearPause);

// Clamps a number into min..max and zero-pads it to width ("1", "2", "3", or a pattern of its own). The value is
// in-out: it receives the clamped number. An empty value counts as -1. Throws RunTimeError for a text that is not a
// number.
QString FormatParameter(QString& value, qint16 max, qint16 min, const QString& width);

// The firmware rule for a titler below 3.30: returns true when the command is blocked and may rewrite "48"/"49"
// to "04"/"03". Titlers from 3.30 on take everything unchanged.
bool firmwareBlocks(bool oldFirmware, int baud, QString& code, QString& param1);

// The event loop's turn that long routines give (the status line, the page view), kept off the line while a sequence
// holds it (CommandProtocol::LineHold).
void yieldToEvents(Zelk& z);

class CommandProtocol
{
public:
    CommandProtocol(Zelk& z, SerialPort& port);

    // address is in-out: an empty address means the titler of the page on screen and is handed back filled.
    // True when the command was written (the gates let it through and the port took it).
    bool SendCommand(QString& address, QString code, QString param1 = {}, const QString& param2 = {});
    bool SendCommand(const QString& address, const QString& code, const QString& param1 = {},
                     const QString& param2 = {});

    // A question ("38", "43") gated and written as SendCommand writes it, but without the pause after it: the line
    // owes that pause, so the caller can take the answer later while the window goes on, and every later write
    // waits out what is left of it first. True when the question was written.
    bool Ask(QString& address, const QString& code);
    // Milliseconds the line still owes the last question asked with Ask (0 when none).
    int owedPauseMs() const;
    void waitOutOwedPause();

    bool IsTitlerEnabled(const QString& address) const;
    // True when the command is blocked; may rewrite code and param1. With an empty code it tells whether the
    // titler has the older firmware.
    bool FirmwareFilter(const QString& address, QString& code, QString& param1) const;

    // The address a command goes to, or empty when nothing may be written: an empty address means the titler in
    // the address box. A half-typed address in the box ("5") is first settled as leaving the box settles it
    // ("05"), unless the command is a question: the clock asks while the operator types, and must not rewrite the
    // box under their fingers. Whatever the caller passed, only two decimal digits ever reach the line.
    QString lineAddress(const QString& address, bool settleBox);

    // Writes bytes straight to the port, without the titler gates, draining or pausing (the page line sender).
    bool writeRaw(const QByteArray& bytes);
    // Everything the port has received so far, as text.
    QString receivedText();

    // The line speed chosen by the speed options (the port's own when the window has none).
    int selectedBaud() const;
    SerialPort& port() { return port_; }

    // A sequence whose frames must reach the titlers unbroken holds the line while it runs. Where it yields (through
    // yieldToEvents), the operator's input waits until it ends, and nothing else that runs meanwhile (a timer's
    // sender) writes to the line.
    class LineHold
    {
    public:
        explicit LineHold(CommandProtocol& p) : p_(p) { ++p_.holds_; }
        ~LineHold() { --p_.holds_; }
        LineHold(const LineHold&) = delete;
        LineHold& operator=(const LineHold&) = delete;

    private:
        CommandProtocol& p_;
    };
    void yieldToEvents();
    // A sequence holds the line now.
    bool lineHeld() const { return holds_ > 0; }

    // Frames written since the start, for those that must tell whether a sequence reached the line.
    quint64 framesWritten() const { return framesWritten_; }

private:
    bool transmit(QString& address, QString code, QString param1, const QString& param2, bool owePause);
    bool titlerRowSelected(bool versionList, int address) const;
    void drain();
    void sleepMs(int ms);

    Zelk& z_;
    SerialPort& port_;
    std::optional<QString> unsettled_; // the box's text that settling last could not make an address of
    QElapsedTimer lineClock_;
    qint64 quietFromMs_ = 0; // on lineClock_: when the pause owed after a question ends
    int holds_ = 0;      // sequences holding the line
    int heldYields_ = 0; // yields of a holding sequence now running: whatever runs inside writes nothing
    quint64 framesWritten_ = 0;
};
