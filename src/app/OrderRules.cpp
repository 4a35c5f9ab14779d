#include "OrderRules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>

namespace orders {

namespace {

// A page or address number: one or two decimal digits.
std::optional<int> smallNumber(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,2}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

Parsed refused(const QString& why)
{
    return {std::nullopt, why};
}

Parsed parsePages(const QString& list)
{
    Order o;
    o.word = Word::Send;
    const QStringList items = list.split(QLatin1Char(','));
    if (items.size() > 99)
        return refused(QStringLiteral("too many pages"));
    for (const QString& item : items) {
        const auto n = smallNumber(item);
        if (!n || *n < 1)
            return refused(QStringLiteral("no such page: \"%1\"").arg(item));
        o.pages << *n;
    }
    return {o, {}};
}

} // namespace

Parsed parse(const QByteArray& line)
{
    if (line.size() >= kMaxOrderBytes)
        return refused(QStringLiteral("order too long"));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (utf8.hasError())
        return refused(QStringLiteral("not UTF-8"));
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return refused(QStringLiteral("control character in order"));
    const qsizetype space = text.indexOf(QLatin1Char(' '));
    const QString word = text.left(space < 0 ? text.size() : space);
    const QString rest = space < 0 ? QString() : text.mid(space + 1);
    const bool hasRest = space >= 0;

    if (word == QLatin1String("FRONT") && !hasRest)
        return {Order{Word::Front, {}, {}, {}}, {}};
    if (word == QLatin1String("SEND") && hasRest)
        return parsePages(rest);
    if (word == QLatin1String("CLEAR") && hasRest) {
        const auto n = smallNumber(rest);
        if (!n)
            return refused(QStringLiteral("no such titler address: \"%1\"").arg(rest));
        return {Order{Word::Clear, {}, QString::number(*n).rightJustified(2, QLatin1Char('0')), {}}, {}};
    }
    if (word == QLatin1String("OPEN") && hasRest) {
        // Only a page file named in full: nothing relative to whatever folder the running copy is in.
        if (!QDir::isAbsolutePath(rest) || QDir::cleanPath(rest) != rest || !rest.endsWith(QLatin1String("zlk")))
            return refused(QStringLiteral("not a page file path"));
        return {Order{Word::Open, {}, {}, rest}, {}};
    }
    return refused(QStringLiteral("unknown order"));
}

QByteArray encode(const Order& order)
{
    switch (order.word) {
    case Word::Send: {
        QStringList pages;
        for (int p : order.pages)
            pages << QString::number(p);
        return "SEND " + pages.join(QLatin1Char(',')).toUtf8() + '\n';
    }
    case Word::Clear:
        return "CLEAR " + order.address.toUtf8() + '\n';
    case Word::Open:
        return "OPEN " + order.path.toUtf8() + '\n';
    case Word::Front:
        break;
    }
    return "FRONT\n";
}

std::optional<Parsed> fromArguments(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString option = arguments.first();
    if (option != QLatin1String("--send") && option != QLatin1String("--clear"))
        return std::nullopt;
    if (arguments.size() != 2)
        return refused(QStringLiteral("usage: zelk --send PAGE[,PAGE...] | zelk --clear ADDRESS"));
    const QByteArray word = option == QLatin1String("--send") ? "SEND " : "CLEAR ";
    return parse(word + arguments[1].toUtf8());
}

QString socketPath(const QString& settingsFolder, const QString& runtimeFolder)
{
    const QString beside = QDir(settingsFolder).filePath(QStringLiteral("ZELK.socket"));
    // A local socket's path is limited (108 bytes with its end on Linux).
    if (QFile::encodeName(beside).size() < 100 || runtimeFolder.isEmpty())
        return beside;
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(QDir::cleanPath(settingsFolder)), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir(runtimeFolder).filePath(QStringLiteral("zelk-%1.socket").arg(QString::fromLatin1(key)));
}

} // namespace orders
