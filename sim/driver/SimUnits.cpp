#include "SimUnits.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>

SimUnits::~SimUnits()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool SimUnits::start(const QStringList &units, const QStringList &launcher)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList command = launcher + QStringList{qEnvironmentVariable("PELMORA2_BIN_DIR") + "/qv512-sim",
                                                 "--record", m_recordDir.path()};
    const QString program = command.takeFirst();
    m_process.start(program, command + units);
    m_ports.resize(units.size());
    for (QString line; (line = waitForEvent({}, 10000)) != "READY";) {
        if (line.isEmpty()) {
            m_error = "qv512-sim did not report READY: " + m_process.errorString();
            return false;
        }
        if (const QStringList parts = line.split(' '); parts.size() == 3 && parts[0] == "listening")
            m_ports[parts[1].toInt()] = parts[2].toUpper();
    }
    return true;
}

QByteArray SimUnits::received(int index) const
{
    QFile file(m_recordDir.filePath(QStringLiteral("unit%1.bin").arg(index)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SimUnits::waitForEvent(const QString &event, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (event.isEmpty() || line == event || line.startsWith(event + ' '))
                return line;
        }
    } while (m_process.waitForReadyRead(int(deadline.remainingTime())));
    return {};
}

QString SimUnits::freeShortPortText()
{
    for (;;) {
        const auto port = quint16(QRandomGenerator::global()->bounded(0x400, 0x1000));
        if (QTcpServer probe; probe.listen(QHostAddress::LocalHost, port))
            return QString::number(port, 16).toUpper();
    }
}
