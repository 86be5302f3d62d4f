#include "PrintText.h"

#include "platform/StandardText.h"

bool PrintText(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return WriteStandardText(stream, {bytes.constData(), std::size_t(bytes.size())});
}
