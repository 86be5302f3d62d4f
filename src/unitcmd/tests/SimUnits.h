#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// qv512-sim as a child process: started with the given UNIT arguments on loopback, recording every
// byte each unit receives.
class SimUnits
{
public:
    SimUnits() = default;
    ~SimUnits();
    SimUnits(const SimUnits &) = delete;
    SimUnits &operator=(const SimUnits &) = delete;

    // Starts the simulator and waits until every unit listens. False (with error()) when it did not.
    bool start(const QStringList &units);
    QString error() const { return m_error; }

    // The unit's port as the simulator reported it (hex, upper case).
    QString portText(int index) const { return m_ports.value(index); }
    // Everything the unit has received so far, across connections.
    QByteArray received(int index) const;

    // Waits until the simulator prints the event line, or a line that continues it after a blank
    // ("closed 0", "connected 0 127.0.0.1:40000"), after the lines earlier waits took. Returns the
    // line, or an empty text when it did not come in time.
    QString waitForEvent(const QString &event, int timeoutMs = 5000);
    // Every event line printed so far (after READY).
    QStringList events();

    // A free port below 4096 on loopback, so its hex text is shorter than four digits.
    static QString freeShortPortText();

private:
    bool readLine(QString &line, int timeoutMs);

    QProcess m_process;
    QTemporaryDir m_recordDir;
    QStringList m_ports;
    QStringList m_events;
    int m_eventsTaken = 0;
    QString m_error;
};
