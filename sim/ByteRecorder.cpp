#include "ByteRecorder.h"

ByteRecorder::ByteRecorder(const QString &path) : m_file(path) {}

bool ByteRecorder::open(QString *error)
{
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
    return false;
}

void ByteRecorder::append(const QByteArray &bytes)
{
    // Flushed at once: a reader may look at the file while the connection is still open.
    m_file.write(bytes);
    m_file.flush();
}
