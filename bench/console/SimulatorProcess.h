#pragma once

#include <QProcess>
#include <QStringList>

// qv512-sim as a child process, up and listening once start() returns true.
class SimulatorProcess
{
public:
    ~SimulatorProcess();
    bool start(const QString &program, const QStringList &units);
    // The hexadecimal port of the unit at index, as the simulator announced it.
    QString portText(int index) const { return m_ports.value(index); }
    quint16 port(int index) const { return portText(index).toUShort(nullptr, 16); }

private:
    QProcess m_process;
    QStringList m_ports;
};
