#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// qv512-sim as a child process: the given UNIT arguments on loopback, every received byte recorded.
class SimUnits
{
public:
    ~SimUnits();
    // False (with error()) when not every unit listens. A launcher (e.g. ip netns exec NS) runs it.
    bool start(const QStringList &units, const QStringList &launcher = {});
    QString error() const { return m_error; }
    QString portText(int index) const { return m_ports.value(index); } // hex, upper case
    quint16 port(int index) const { return quint16(portText(index).toUInt(nullptr, 16)); }
    QByteArray received(int index) const; // across connections
    // The next event line (after those earlier waits took) that is event or starts with event + ' '.
    QString waitForEvent(const QString &event, int timeoutMs = 5000);
    static QString freeShortPortText(); // 0x400 to 0xFFF, so that it gets padded

private:
    QProcess m_process;
    QTemporaryDir m_recordDir;
    QStringList m_ports;
    QString m_error;
};
