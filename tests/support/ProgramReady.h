#pragma once
// A started ZELK takes its termination signals only once its window is loaded (before that a signal ends it at
// once, with nothing to save). Tests that signal it wait for that moment, however slowly it starts: a sanitizer
// build on a busy machine can take many seconds.

#include <QFile>
#include <QTest>

#include <csignal>

// True once the process catches SIGINT and SIGHUP (which only the program's own watcher takes, with SIGTERM).
inline bool catchesTerminationSignals(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const quint64 wanted = (quint64(1) << (SIGINT - 1)) | (quint64(1) << (SIGHUP - 1));
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) & wanted) == wanted;
    return false;
}

inline bool waitUntilTakingSignals(qint64 pid, int timeoutMs = 60000)
{
    return QTest::qWaitFor([pid] { return catchesTerminationSignals(pid); }, timeoutMs);
}
