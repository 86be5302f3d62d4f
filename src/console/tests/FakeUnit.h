#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

// A unit's remote console played over real TCP inside the test process. Every byte it receives is
// recorded and handed to a responder, which answers through send() / sendAfter().
class FakeUnit : public QObject
{
    Q_OBJECT

public:
    using Responder = std::function<void(FakeUnit &unit, char byte)>;

    explicit FakeUnit(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString portText() const; // upper-case hexadecimal, as a port field holds it

    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // What a sound unit does: ESC gets ESC CR LF and the prompt, CR gets CR LF, 126 its echo and 600
    // characters 20 ms later, anything else its echo.
    static void answerLikeUnit(FakeUnit &unit, char byte, char prompt = '>');
    static Responder wellBehaved(char prompt = '>');
    static Responder silent();

    // To the connection open at the time of sending.
    void send(const QByteArray &bytes);
    void sendAfter(int ms, const QByteArray &bytes);
    void closeConnection();
    void stopListening() { m_server.close(); }

    // Every byte received, over all connections, in order; and what each connection received.
    const QByteArray &received() const { return m_received; }
    const QList<QByteArray> &receivedPerConnection() const { return m_perConnection; }
    void clearReceived();
    int connectionCount() const { return m_connections; }
    QHostAddress lastPeerLocalAddress() const { return m_lastLocalAddress; }

private:
    void takeConnection();
    void readIncoming();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_connection;
    Responder m_responder;
    QByteArray m_received;
    QList<QByteArray> m_perConnection;
    int m_connections = 0;
    QHostAddress m_lastLocalAddress;
};
