#pragma once
// Numbers of the run-time failures that routines hand to RecordError (kept in the error slots of the page table).

namespace err {

constexpr int kSubscriptOutOfRange = 9; // a slot number outside the table
constexpr int kTypeMismatch = 13;       // a field or typed number that is not a number
constexpr int kOverflow = 6;            // a number too large for its type
constexpr int kDeviceIO = 57;           // the serial device failed
constexpr int kDiskFull = 61;
constexpr int kInputPastEnd = 62; // a record cut short at the end of a file
constexpr int kFileNotFound = 53;
constexpr int kFileAccess = 75;
constexpr int kPortNotOpen = 1001;    // a write to a port that is not open
constexpr int kPortUnavailable = 1002; // the port does not exist or cannot be opened
constexpr int kLineStalled = 1003;    // bytes did not leave the port in the time the line needs

// Page files
constexpr int kUnknownFileType = 1010; // File Open with a name ending neither in "zlk" nor in "txt"
constexpr int kDialogCancelled = 1011; // the operator cancelled a file dialog

} // namespace err

#include <QString>

// A run-time failure inside a routine. Routines throw it from deep inside (a conversion, the port); every handler
// catches it at its top and hands it to RecordError, so one failure ends one routine and never the program.
struct RunTimeError
{
    int number;
    QString source;
};

// Whole number of a text the way typed numbers are taken: decimal, rounded half to even, into 16 bits.
// Throws kTypeMismatch for a text that is not a number and kOverflow outside -32768..32767.
qint16 toInteger16(const QString& text, const QString& source);
