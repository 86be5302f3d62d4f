#include "SimUnits.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>

SimUnits::~SimUnits()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SimUnits::start(const QStringList &units)
{
    const QString program = qEnvironmentVariable("PELMORA2_BIN_DIR") + QStringLiteral("/qv512-sim");
    m_process.setProgram(program);
    m_process.setArguments(QStringList{QStringLiteral("--record"), m_recordDir.path()} + units);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        m_error = program + QStringLiteral(" did not start: ") + m_process.errorString();
        return false;
    }
    m_ports.resize(units.size());
    QString line;
    while (readLine(line, 10000)) {
        const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.value(0) == QLatin1String("listening") && parts.size() == 3)
            m_ports[parts[1].toInt()] = parts[2].toUpper();
        else if (line == QLatin1String("READY"))
            return true;
    }
    m_error = QStringLiteral("the simulator did not report READY");
    return false;
}

QByteArray SimUnits::received(int index) const
{
    QFile file(m_recordDir.filePath(QStringLiteral("unit%1.bin").arg(index)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool SimUnits::readLine(QString &line, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning ||
            !m_process.waitForReadyRead(deadline.remainingTime()))
            return false;
    }
    line = QString::fromLatin1(m_process.readLine()).trimmed();
    return true;
}

QStringList SimUnits::events()
{
    QString line;
    while (m_process.canReadLine() && readLine(line, 0))
        m_events.append(line);
    return m_events;
}

QString SimUnits::waitForEvent(const QString &event, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        events();
        while (m_eventsTaken < m_events.size()) {
            const QString &line = m_events[m_eventsTaken++];
            if (line == event || line.startsWith(event + QLatin1Char(' ')))
                return line;
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning ||
            !m_process.waitForReadyRead(deadline.remainingTime()))
            return {};
    }
}

QString SimUnits::freeShortPortText()
{
    // Ports 0x400 to 0xFFF: unprivileged, and three hex digits, so that the port field gets padded.
    const int first = QRandomGenerator::global()->bounded(0x400, 0x1000);
    for (int i = 0; i < 0xC00; ++i) {
        const int port = 0x400 + (first - 0x400 + i) % 0xC00;
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, quint16(port)))
            return QString::number(port, 16).toUpper();
    }
    return {};
}
