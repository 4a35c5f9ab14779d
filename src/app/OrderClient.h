#pragma once
// The other end of the running copy's socket: an order from the command line, and a second start handing over.

#include "app/OrderRules.h"

#include <QString>

class QTextStream;

namespace orders {

// Exit statuses of an order from the command line.
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kNoRunningCopy = 2;

// How long an order's answer may take: a send of many pages at a slow line speed.
inline constexpr int kAnswerWaitMs = 10 * 60 * 1000;

// Sends the order to the copy running for the settings folder and waits for its answer; the reason of a refusal
// goes to err.
int runOrder(const Parsed& parsed, const QString& settingsFolder, QTextStream& err);

// A second start: the page file for the running copy to offer its operator (empty: only to come to the front).
// Does not wait for the operator. False when no copy took it.
bool handOver(const QString& settingsFolder, const QString& pageFile);

} // namespace orders
