#include "LineFrames.h"

#include "link/CommandProtocol.h"
#include "pages/PageTable.h"

namespace lines {

QByteArray titlerText(const QString& line)
{
    QByteArray out;
    for (QChar c : line.left(slot::kLineWidth)) {
        if (c.unicode() == kBlockSpace) {
            out += kTitlerBlock;
            continue;
        }
        // Upper case only where it stays one byte on the line (a few letters have no single-byte capital).
        const QChar upper = c.toUpper();
        out += char((upper.unicode() <= 0xFF ? upper : c).toLatin1());
    }
    return out;
}

QByteArray lineFrame(const QString& prefix, const QString& address, int line, const QString& text)
{
    QString cell = QString::number(firstCellOfLine(line));
    const QString p = FormatParameter(cell, kLastCell, kFirstCell, QStringLiteral("3"));
    return (prefix + address + code::kWriteText + p).toLatin1() + titlerText(text);
}

} // namespace lines
