#include "FakeUnit.h"

#include <QTimer>

FakeUnit::FakeUnit(const QHostAddress &address, quint16 port) : m_responder(wellBehaved())
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeUnit::takeConnection);
    m_server.listen(address, port);
}

QString FakeUnit::portText() const
{
    return QString::number(port(), 16).toUpper();
}

void FakeUnit::answerLikeUnit(FakeUnit &unit, char byte, char prompt)
{
    switch (byte) {
    case 27:
        unit.send(QByteArray("\x1b\r\n") + prompt);
        break;
    case 13:
        unit.send("\r\n");
        break;
    case 126:
        unit.send(QByteArray(1, byte));
        unit.sendAfter(20, QByteArray(600, 'i'));
        break;
    default:
        unit.send(QByteArray(1, byte));
    }
}

FakeUnit::Responder FakeUnit::wellBehaved(char prompt)
{
    return [prompt](FakeUnit &unit, char byte) { answerLikeUnit(unit, byte, prompt); };
}

FakeUnit::Responder FakeUnit::silent()
{
    return [](FakeUnit &, char) {};
}

void FakeUnit::send(const QByteArray &bytes)
{
    if (m_connection)
        m_connection->write(bytes);
}

void FakeUnit::sendAfter(int ms, const QByteArray &bytes)
{
    QTimer::singleShot(ms, Qt::PreciseTimer, this, [this, bytes] { send(bytes); });
}

void FakeUnit::closeConnection()
{
    if (m_connection)
        m_connection->close();
}

void FakeUnit::takeConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        m_perConnection.append(QByteArray());
        m_lastLocalAddress = socket->localAddress();
        if (m_connection)
            m_connection->deleteLater();
        m_connection = socket;
        connect(socket, &QTcpSocket::readyRead, this, &FakeUnit::readIncoming);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FakeUnit::readIncoming()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    const QByteArray bytes = socket->readAll();
    m_received += bytes;
    if (socket != m_connection)
        return;
    m_perConnection.last() += bytes;
    for (const char byte : bytes)
        m_responder(*this, byte);
}

void FakeUnit::clearReceived()
{
    m_received.clear();
    for (QByteArray &bytes : m_perConnection)
        bytes.clear();
}
