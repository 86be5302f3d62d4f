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
