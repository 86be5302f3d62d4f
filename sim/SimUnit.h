#pragma once

#include "ConsoleInterpreter.h"
#include "UnitArgument.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <optional>

class ByteRecorder;
class EventLog;
class ReplyQueue;

// One simulated unit: a console port that serves one connection at a time (further connections
// wait in the listen queue), records what it receives, plays its faults, and moves to a new port
// after an accepted UE2 once the connection has closed.
class SimUnit : public QObject
{
    Q_OBJECT

public:
    SimUnit(int index, const UnitArgument &unit, const QHostAddress &address, EventLog &log,
            std::unique_ptr<ByteRecorder> recorder, QObject *parent = nullptr);
    ~SimUnit() override;

    // Listens (or, for a refusing unit, only holds the port); false with a reason on failure.
    bool start(QString *error);
    quint16 port() const { return m_port; }

private:
    void serveNextConnection();
    void onReadyRead();
    void onDisconnected();
    void moveTo(quint16 port);
    bool bindPort(quint16 port, QString *error);
    void report(const ConsoleEvent &event);

    int m_index;
    UnitBehaviour m_behaviour;
    quint16 m_port;
    QHostAddress m_address;
    EventLog &m_log;
    std::unique_ptr<ByteRecorder> m_recorder;

    QTcpServer m_server;
    QTcpSocket m_reservation; // bound, never listening: how a refusing unit holds its port
    QPointer<QTcpSocket> m_client;
    ReplyQueue *m_replies = nullptr;
    std::optional<ConsoleInterpreter> m_console;
};
