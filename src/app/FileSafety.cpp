#include "FileSafety.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace filesafety {

QString damagedCopyName(const QString& path, const QDateTime& now)
{
    return path + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

QString keepDamagedCopy(const QString& path, const QDateTime& now, QString* why)
{
    const QString base = damagedCopyName(path, now);
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    if (!copyWhole(path, name, why))
        return {};
    return name;
}

bool copyWhole(const QString& from, const QString& to, QString* why)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *why = source.errorString();
        return false;
    }
    const QByteArray data = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        *why = source.errorString();
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        *why = target.errorString();
        return false;
    }
    if (target.write(data) != data.size()) {
        *why = target.errorString();
        target.cancelWriting();
        return false;
    }
    if (!target.commit()) {
        *why = target.errorString();
        return false;
    }
    return true;
}

QString writeProblem(const QString& folder, const QString& file)
{
    // Trying is the only answer that holds for every case: permissions, a read-only mount, access lists.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zelk-write-test-XXXXXX")));
    if (!probe.open())
        return probe.errorString();
    probe.close();
    const QFileInfo existing(file);
    if (existing.exists() && !existing.isWritable())
        return QStringLiteral("%1 is read-only").arg(QDir::toNativeSeparators(file));
    return {};
}

} // namespace filesafety
