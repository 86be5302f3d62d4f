#include "EventLog.h"

#include <cstdio>

void EventLog::state(const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void EventLog::event(const QString &line)
{
    if (!m_quiet)
        state(line);
}

QString hexPort(quint16 port)
{
    return QString::number(port, 16).toUpper();
}
