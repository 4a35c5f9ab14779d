#pragma once
// The texts of the roster's rows and the characters a titler name may hold; no widgets involved.

#include <QString>

namespace roster {

constexpr int kTitlers = 99;
constexpr int kNameWidth = 20;
constexpr int kNameStart = 5; // after the two-digit address and three blanks

// "05" for titler 5.
QString addressText(int address);
// A row as the lists show it: the address, three blanks, then the name.
QString rowText(int address, const QString& name);
// The name shown in a row: its characters 6 to 25.
QString namePart(const QString& row);

// The character filter of the line editor as the name box applies it: the accepted character code, upper-cased,
// or 0 for a key the titler cannot show. A space stays a space in a name.
int filterNameChar(int code);
// A whole typed or pasted text put through filterNameChar: rejected characters and control codes are dropped.
QString filterName(const QString& typed);

} // namespace roster
