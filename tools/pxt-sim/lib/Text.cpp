#include "pxtsim/Text.h"

#include "pxtsim/Protocol.h"

namespace pxtsim {

QString readable(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == kBlockByte)
            text.append(QChar(kBlockGlyph));
        else if ((byte >= 32 && byte < 127) || byte >= 160)
            text.append(QChar(byte));
        else
            text.append(QChar(kUnprintable));
    }
    return text;
}

} // namespace pxtsim
