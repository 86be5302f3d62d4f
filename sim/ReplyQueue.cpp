#include "ReplyQueue.h"

#include <QTcpSocket>

#include <algorithm>

namespace
{

// Kept in the socket's send buffer while flooding: enough to saturate loopback, small enough that
// a reader who stops reading does not make the simulator grow.
constexpr qint64 FloodBacklog = qint64(256) * 1024;
constexpr qsizetype FloodChunkSize = qsizetype(16) * 1024;

// Garbage without "%", "<", CR, digits, upper-case letters or hex digits, so that it never passes
// for an echo, an error or an unsupported-command answer.
QByteArray floodChunk()
{
    static const QByteArray alphabet = QByteArrayLiteral("ghijklmnopqrstuvwxyz#$&*+=?!;");
    QByteArray chunk;
    chunk.reserve(FloodChunkSize);
    while (chunk.size() < FloodChunkSize)
        chunk.append(alphabet);
    return chunk;
}

} // namespace

ReplyQueue::ReplyQueue(QTcpSocket &socket, int dripMs, QObject *parent)
    : QObject(parent), m_socket(socket), m_dripMs(dripMs)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplyQueue::pump);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_flooding)
            topUpFlood();
    });
}

void ReplyQueue::post(const QByteArray &bytes, int delayMs)
{
    if (bytes.isEmpty())
        return;
    m_items.push_back({bytes, m_clock.elapsed() + delayMs, false});
    pump();
}

void ReplyQueue::closeWhenSent()
{
    m_items.push_back({{}, m_clock.elapsed(), true});
    pump();
}

void ReplyQueue::floodForever()
{
    m_flooding = true;
    pump();
}

void ReplyQueue::pump()
{
    while (!m_items.empty()) {
        Item &front = m_items.front();
        qint64 due = front.dueMs;
        if (m_dripMs > 0 && m_lastSentMs >= 0)
            due = std::max(due, m_lastSentMs + m_dripMs);
        const qint64 wait = due - m_clock.elapsed();
        if (wait > 0) {
            m_timer.start(static_cast<int>(wait));
            return;
        }
        if (front.close) {
            m_items.clear();
            m_flooding = false;
            m_socket.disconnectFromHost();
            return;
        }
        if (m_dripMs > 0) {
            m_socket.write(front.bytes.left(1));
            m_socket.flush();
            front.bytes.remove(0, 1);
            m_lastSentMs = m_clock.elapsed();
            if (front.bytes.isEmpty())
                m_items.pop_front();
        } else {
            m_socket.write(front.bytes);
            m_items.pop_front();
        }
    }
    if (m_flooding)
        topUpFlood();
}

void ReplyQueue::topUpFlood()
{
    if (!m_items.empty() || m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    static const QByteArray chunk = floodChunk();
    while (m_socket.bytesToWrite() < FloodBacklog)
        m_socket.write(chunk);
}
