#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>

class QTcpSocket;

// Everything a unit sends on one connection, in order: replies that may be held back (a late
// answer, a trailer after a pause), characters dripped one at a time, a close once all is out, and
// a flood that refills the socket whenever it drains.
class ReplyQueue : public QObject
{
    Q_OBJECT

public:
    ReplyQueue(QTcpSocket &socket, int dripMs, QObject *parent = nullptr);

    // bytes go out no earlier than delayMs from now, and after everything posted before.
    void post(const QByteArray &bytes, int delayMs);
    void closeWhenSent();
    void floodForever();

private:
    struct Item {
        QByteArray bytes;
        qint64 dueMs = 0;
        bool close = false;
    };

    void pump();
    void topUpFlood();

    QTcpSocket &m_socket;
    int m_dripMs;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::deque<Item> m_items;
    qint64 m_lastSentMs = -1;
    bool m_flooding = false;
};
