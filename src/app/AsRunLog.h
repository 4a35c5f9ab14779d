#pragma once
// What went on air: one line per page, line, clear, settings and effect start or stop that reached the line, in a
// daily file "asrun-YYYY-MM-DD.log" in the settings folder, kept for 31 days. Records are buffered and written at
// least once a second and at shutdown, so the log never slows the line; a write that fails is told once in the
// status line and never stops a send.

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class Zelk;

namespace asrun {

inline constexpr int kKeptDays = 31;
inline constexpr int kFlushMs = 500;
// Records kept for a log that cannot be written (a full disk), beyond which the oldest go.
inline constexpr int kMaxBuffered = 20000;

// "asrun-2026-12-06.log"
QString fileName(const QDate& day);
// One record, without its line end: time (ISO, milliseconds, offset), address, what, reminder, tab-separated.
QString formatRecord(const QDateTime& when, const QString& address, const QString& what, const QString& reminder);
// The log files among names that are older than the days kept, counting today as the first.
QStringList expired(const QStringList& names, const QDate& today);
// The first line of a page with more than blanks on it, trimmed; empty for a blank page.
QString firstNonBlankLine(const QStringList& lines);

} // namespace asrun

class AsRunLog : public QObject
{
public:
    explicit AsRunLog(Zelk& z);
    ~AsRunLog() override; // writes what is still buffered

    // address: the titler's two digits ("--" for an effect, which reaches the titlers it was set up for).
    void record(const QString& address, const QString& what, const QString& reminder = {});
    // A page's record: "page N" or "line n of page N", with the page's first non-blank line.
    void recordPage(const QString& address, int page, int line = 0);
    // Writes the buffered records now. False when they could not be written (they stay buffered).
    bool flush();

    // The folder the log lives in (the settings folder unless a test sets its own).
    void setFolder(const QString& folder) { folder_ = folder; }
    QString folder() const;

private:
    void tell(const QString& path, const QString& why);
    void removeExpired(const QDate& today);

    struct Pending
    {
        QDate day;
        QString line;
    };
    Zelk& z_;
    QString folder_;
    QList<Pending> pending_;
    QTimer flushTimer_;
    QDate swept_;       // the day old logs were last removed
    bool told_ = false; // the failure is on the status line already
};

// The as-run log's record of what went out, when the window has a log; frames counts the frames the line had
// written before the sequence began, so that a sequence the gates held back leaves no record.
namespace asrun {
quint64 framesWritten(const Zelk& z);
void noteIfSent(Zelk& z, quint64 framesBefore, const QString& address, const QString& what, int page = 0);
} // namespace asrun
