#include "AsRunLog.h"

#include "app/Shell.h"
#include "app/Zelk.h"
#include "core/Numbers.h"
#include "link/CommandProtocol.h"
#include "link/StatusLine.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>

namespace asrun {

QString fileName(const QDate& day)
{
    return QStringLiteral("asrun-%1.log").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

QString formatRecord(const QDateTime& when, const QString& address, const QString& what, const QString& reminder)
{
    // The offset keeps the hour after a clock change unambiguous.
    const QDateTime stamped = when.toOffsetFromUtc(when.offsetFromUtc());
    QString text = reminder;
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' '); // one record per line, whatever a page holds
    return QStringList{stamped.toString(Qt::ISODateWithMs), address.isEmpty() ? QStringLiteral("--") : address, what,
                       text}
        .join(QLatin1Char('\t'));
}

QStringList expired(const QStringList& names, const QDate& today)
{
    static const QRegularExpression pattern(QStringLiteral("^asrun-(\\d{4}-\\d{2}-\\d{2})\\.log$"));
    const QDate oldestKept = today.addDays(-(kKeptDays - 1));
    QStringList out;
    for (const QString& name : names) {
        const auto m = pattern.match(name);
        if (!m.hasMatch())
            continue;
        const QDate day = QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
        if (day.isValid() && day < oldestKept)
            out << name;
    }
    return out;
}

QString firstNonBlankLine(const QStringList& lines)
{
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    return {};
}

quint64 framesWritten(const Zelk& z)
{
    return z.protocol ? z.protocol->framesWritten() : 0;
}

void noteIfSent(Zelk& z, quint64 framesBefore, const QString& address, const QString& what, int page)
{
    if (!z.asRun || framesWritten(z) == framesBefore)
        return;
    if (page >= 1 && page <= slot::kPages) {
        QStringList lines;
        for (int i = 1; i <= slot::kLines; ++i)
            lines << z.table.text(slot::page(page, slot::kLine1 + i - 1));
        z.asRun->record(address, what, firstNonBlankLine(lines));
    } else {
        z.asRun->record(address, what);
    }
}

} // namespace asrun

AsRunLog::AsRunLog(Zelk& z) : z_(z)
{
    z_.asRun = this;
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(asrun::kFlushMs);
    connect(&flushTimer_, &QTimer::timeout, this, [this] {
        if (!flush())
            flushTimer_.start(); // tried again until the folder takes it
    });
}

AsRunLog::~AsRunLog()
{
    flush();
    if (z_.asRun == this)
        z_.asRun = nullptr;
}

QString AsRunLog::folder() const
{
    return folder_.isEmpty() ? Shell::GetAppPath() : folder_;
}

void AsRunLog::record(const QString& address, const QString& what, const QString& reminder)
{
    const QDateTime now = z_.clock.now();
    // Stored addresses may lack their leading zero ("5"); the record shows them as framed.
    const auto n = parseDecimal(address);
    const QString shown = n && *n >= 0 && *n <= 99 && *n == double(int(*n)) ? twoDigits(int(*n)) : address;
    pending_.append({now.date(), asrun::formatRecord(now, shown, what, reminder)});
    if (pending_.size() > asrun::kMaxBuffered)
        pending_.removeFirst();
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void AsRunLog::recordPage(const QString& address, int page, int line)
{
    QStringList lines;
    for (int i = 1; i <= slot::kLines; ++i) {
        // The page on view goes out from its boxes, which may be ahead of the table.
        const QLineEdit* box = page == z_.currentPage() ? z_.ui.txtMain[std::size_t(i)] : nullptr;
        lines << (box ? box->text() : z_.table.text(slot::page(page, slot::kLine1 + i - 1)));
    }
    const QString what =
        line == 0 ? QStringLiteral("page %1").arg(page) : QStringLiteral("line %1 of page %2").arg(line).arg(page);
    record(address, what, asrun::firstNonBlankLine(lines));
}

bool AsRunLog::flush()
{
    if (pending_.isEmpty())
        return true;
    const QDir dir(folder());
    removeExpired(pending_.first().day);
    // Records of one day go to that day's file, also for a batch that runs past midnight.
    while (!pending_.isEmpty()) {
        const QDate day = pending_.first().day;
        int n = 0;
        QByteArray bytes;
        while (n < pending_.size() && pending_[n].day == day)
            bytes += pending_[n++].line.toUtf8() + '\n';
        QFile file(dir.filePath(asrun::fileName(day)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size() ||
            !file.flush()) {
            tell(file.fileName(), file.errorString());
            return false;
        }
        pending_.remove(0, n);
    }
    told_ = false; // a later failure is told again
    return true;
}

void AsRunLog::tell(const QString& path, const QString& why)
{
    // The status line keeps still during a send: told at the first flush after it.
    if (told_ || !z_.status || z_.TransmissionActive)
        return;
    told_ = true;
    z_.status->showNote(
        QStringLiteral("As-run log not written"),
        QStringLiteral("The as-run log %1 could not be written: %2").arg(QDir::toNativeSeparators(path), why));
}

void AsRunLog::removeExpired(const QDate& today)
{
    if (swept_ == today)
        return;
    swept_ = today;
    QDir dir(folder());
    for (const QString& name : asrun::expired(dir.entryList({QStringLiteral("asrun-*.log")}, QDir::Files), today))
        dir.remove(name);
}
