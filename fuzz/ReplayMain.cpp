// Without libFuzzer (a GCC build): runs a fuzz target once over every file of the directories or files named on the
// command line, so the committed corpus and every crash kept as a regression run with the ordinary tests.

#include "FuzzCheck.h"

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

int main(int argc, char** argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << path;
        }
    }
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no inputs\n");
        return 1;
    }
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray data = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    }
    std::printf("%lld inputs replayed, 0 failed\n", qint64(files.size()));
    return 0;
}
