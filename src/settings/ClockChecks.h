#pragma once
// The checks of what comes back from a titler's clock and of what an operator types to set one: six digits in
// range or nothing. No widget and no port, so they can be fed anything.

#include <QString>
#include <optional>

namespace clockcheck {

constexpr int kReplyLength = 6;
constexpr qint64 kLatestTime = 235959;
constexpr qint64 kEarliestDate = 10100; // 01-01-00 as mmddyy
constexpr qint64 kLatestDate = 123199;

// The answer to "38": "hh:mm:ss" when its first six characters are digits and, as a number, lie in 0..235959.
std::optional<QString> timeOfReply(const QString& reply);
// The answer to "43": its last six characters as "mm/dd/yy" (the order of the set-date command) when they are
// digits.
std::optional<QString> dateOfReply(const QString& reply);

// A time typed as "hh:mm:ss" (blanks allowed): its digits when there are at least six and, as a number, they lie
// in 0..235959. Only the whole number is checked, as the titler takes it.
std::optional<QString> userTimeDigits(const QString& typed);
// A date typed as "mm-dd-yy": its digits when there are at least six and they lie in 10100..123199.
std::optional<QString> userDateDigits(const QString& typed);

} // namespace clockcheck
