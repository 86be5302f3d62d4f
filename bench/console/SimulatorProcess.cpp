#include "SimulatorProcess.h"

SimulatorProcess::~SimulatorProcess()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool SimulatorProcess::start(const QString &program, const QStringList &units)
{
    m_process.start(program, QStringList{"--quiet"} + units);
    if (!m_process.waitForStarted())
        return false;
    m_ports = QStringList(units.size());
    for (;;) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(5000))
            return false;
        const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
        if (words.size() == 3 && words[0] == "listening")
            m_ports[words[1].toInt()] = QString::fromLatin1(words[2]);
        if (words.value(0) == "READY")
            return true;
    }
}
