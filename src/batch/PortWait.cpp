#include "PortWait.h"

#include "HostText.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>

namespace
{

constexpr int kRetryMs = 100;

} // namespace

bool WaitUntilListening(const QString &host, const QString &portText, int limitMs,
                        const std::atomic<bool> &stop)
{
    const std::optional<quint16> port = portFromHexText(portText);
    if (!port)
        return false;
    const QDeadlineTimer deadline(limitMs);
    while (!stop && !deadline.hasExpired()) {
        const QDeadlineTimer slice(kRetryMs);
        QTcpSocket probe;
        probe.connectToHost(decimalDottedHost(host), *port);
        if (probe.waitForConnected(kRetryMs)) {
            probe.abort();
            return true;
        }
        probe.abort();
        // A refusal comes back at once: wait out the rest of the slice before the next try.
        QThread::msleep(static_cast<unsigned long>(slice.remainingTime()));
    }
    return false;
}

PortProbe ProbePort(const QString &host, const QString &portText, int limitMs, bool askConsole,
                    const std::atomic<bool> &stop)
{
    const std::optional<quint16> port = portFromHexText(portText);
    if (!port)
        return PortProbe::Unreached;
    QTcpSocket probe;
    probe.connectToHost(decimalDottedHost(host), *port);
    // In slices, so that an interrupt is seen soon.
    const QDeadlineTimer connectDeadline(limitMs);
    while (!probe.waitForConnected(kRetryMs)) {
        if (probe.error() == QAbstractSocket::ConnectionRefusedError)
            return PortProbe::Refused;
        if (probe.state() == QAbstractSocket::UnconnectedState || stop || connectDeadline.hasExpired())
            return PortProbe::Unreached;
    }
    if (!askConsole) {
        probe.abort();
        return PortProbe::Accepted;
    }
    probe.write("\x1b");
    probe.waitForBytesWritten(limitMs);
    QByteArray reply;
    const QDeadlineTimer answerDeadline(limitMs);
    while (reply.size() < 4 && !stop && !answerDeadline.hasExpired()) {
        if (probe.waitForReadyRead(kRetryMs))
            reply += probe.readAll();
        else if (probe.state() != QAbstractSocket::ConnectedState)
            break;
    }
    probe.abort();
    return reply.size() >= 4 && reply.startsWith("\x1b\r\n") ? PortProbe::Answered : PortProbe::Accepted;
}
