#include "SimUnit.h"

#include "ByteRecorder.h"
#include "EventLog.h"
#include "ReplyQueue.h"

SimUnit::SimUnit(int index, const UnitArgument &unit, const QHostAddress &address, EventLog &log,
                 std::unique_ptr<ByteRecorder> recorder, QObject *parent)
    : QObject(parent), m_index(index), m_behaviour(unit.behaviour), m_port(unit.port), m_address(address),
      m_log(log), m_recorder(std::move(recorder))
{
    connect(&m_server, &QTcpServer::newConnection, this, &SimUnit::serveNextConnection);
}

SimUnit::~SimUnit() = default;

bool SimUnit::start(QString *error)
{
    return bindPort(m_port, error);
}

bool SimUnit::bindPort(quint16 port, QString *error)
{
    if (m_behaviour.refuse) {
        m_reservation.abort();
        if (!m_reservation.bind(m_address, port)) {
            *error = m_reservation.errorString();
            return false;
        }
        m_port = m_reservation.localPort();
        return true;
    }
    if (!m_server.listen(m_address, port)) {
        *error = m_server.errorString();
        return false;
    }
    m_port = m_server.serverPort();
    return true;
}

void SimUnit::serveNextConnection()
{
    if (m_client || !m_server.hasPendingConnections())
        return;
    m_client = m_server.nextPendingConnection();
    // Each reply goes out as its own segment, so that timing faults and the 126 trailer keep their
    // spacing on the wire.
    m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_console.emplace(m_behaviour);
    m_replies = new ReplyQueue(*m_client, m_behaviour.dripMs, m_client);
    connect(m_client, &QTcpSocket::readyRead, this, &SimUnit::onReadyRead);
    connect(m_client, &QTcpSocket::disconnected, this, &SimUnit::onDisconnected);
    m_log.event(QStringLiteral("connected %1 %2:%3")
                    .arg(m_index)
                    .arg(m_client->peerAddress().toString())
                    .arg(m_client->peerPort()));
    if (m_client->bytesAvailable() > 0)
        onReadyRead();
    if (m_client->state() != QAbstractSocket::ConnectedState)
        onDisconnected();
}

void SimUnit::onReadyRead()
{
    if (!m_client)
        return;
    const QByteArray received = m_client->readAll();
    if (m_recorder)
        m_recorder->append(received);
    for (const char c : received) {
        if (!m_client)
            return; // closed by a fault while taking this chunk; the rest is only recorded
        const ConsoleStep step = m_console->take(c);
        for (const ConsoleEvent &event : step.events)
            report(event);
        m_replies->post(step.reply, step.replyDelayMs);
        m_replies->post(step.trailer, step.replyDelayMs + ConsoleInterpreter::TrailerDelayMs);
        if (step.startFlood)
            m_replies->floodForever();
        if (step.closeConnection)
            m_replies->closeWhenSent();
    }
}

void SimUnit::onDisconnected()
{
    if (!m_client)
        return;
    QTcpSocket *client = m_client;
    m_client = nullptr;
    m_replies = nullptr; // owned by the socket
    client->disconnect(this);
    client->deleteLater();
    m_log.event(QStringLiteral("closed %1").arg(m_index));

    const std::optional<quint16> newPort = m_console->portAfterClose();
    m_console.reset();
    if (newPort)
        moveTo(*newPort);
    serveNextConnection();
}

void SimUnit::moveTo(quint16 port)
{
    const quint16 oldPort = m_port;
    if (port == oldPort) {
        // Told to keep its port: nothing to rebind, but a reader waiting for the move sees it.
        m_log.state(QStringLiteral("moved %1 %2").arg(m_index).arg(hexPort(port)));
        return;
    }
    m_server.close();
    QString error;
    if (bindPort(port, &error)) {
        m_log.state(QStringLiteral("moved %1 %2").arg(m_index).arg(hexPort(port)));
        return;
    }
    m_log.state(QStringLiteral("move-failed %1 %2 %3").arg(m_index).arg(hexPort(port), error));
    if (!bindPort(oldPort, &error))
        m_log.state(QStringLiteral("lost %1 %2 %3").arg(m_index).arg(hexPort(oldPort), error));
}

void SimUnit::report(const ConsoleEvent &event)
{
    QString line = event.kind + QLatin1Char(' ') + QString::number(m_index);
    if (!event.detail.isEmpty())
        line += QLatin1Char(' ') + event.detail;
    m_log.event(line);
}
