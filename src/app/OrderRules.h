#pragma once
// The orders a running copy takes on its local socket, one line of UTF-8 each:
//   "SEND 3,5"            pages 3 and 5, each as "Send" with "Current" sends it
//   "CLEAR 05"            Clear PXT for titler 05 ("00": every titler)
//   "OPEN /abs/show.zlk"  a second start's page file, opened once the operator agrees
//   "FRONT"               a second start without a page file
// The answer is one line: "OK", or "REFUSED " and the reason.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace orders {

// Longer than any path an order may carry; anything longer is refused unread.
inline constexpr int kMaxOrderBytes = 4200;
// A client that has not finished its line by then is answered and let go.
inline constexpr int kOrderWaitMs = 3000;

enum class Word { Send, Clear, Open, Front };

struct Order
{
    Word word = Word::Front;
    QList<int> pages; // Send: 1..99, in the order given
    QString address;  // Clear: two digits
    QString path;     // Open: absolute
};

struct Parsed
{
    std::optional<Order> order;
    QString error; // why the line is no order
};

// One order line, without its line end.
Parsed parse(const QByteArray& line);
// The line for an order, with its line end.
QByteArray encode(const Order& order);

// The command line's order ("--send 3,5", "--clear 05"); nothing when the arguments are not an order.
std::optional<Parsed> fromArguments(const QStringList& arguments);

// The socket beside the lock in the settings folder, or in the user's runtime folder when that path is too long
// for a local socket.
QString socketPath(const QString& settingsFolder, const QString& runtimeFolder);

} // namespace orders
