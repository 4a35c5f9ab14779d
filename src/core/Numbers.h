#pragma once
// The number rules every part of the program shares: how a text is read as a number, rounded and written back as
// zero-padded decimal digits.

#include <QString>
#include <optional>

// Decimal parsing of a text the way the slot rules read it: surrounding blanks ignored, sign and fraction allowed.
std::optional<double> parseDecimal(const QString& s);
// Round half to even, as the numeric conversions of the system do.
qint64 roundHalfEven(double v);
// n in decimal, zero-padded on the left to digits (longer when the number is longer), the sign in front.
QString zeroPadded(qint64 n, int digits);
// The digits a number width names: "1", "2", "3", or a zero pattern of its own ("0000").
int widthDigits(const QString& width);
// n as decimal text of at least two digits ("07", "42").
QString twoDigits(int n);
// A titler address as it may go on the line: exactly two decimal digits ("00" reaches every titler).
bool isTitlerAddress(const QString& address);
