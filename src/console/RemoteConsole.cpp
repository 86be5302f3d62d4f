#include "RemoteConsole.h"

#include "ConsoleLogging.h"
#include "EventPasses.h"
#include "HostText.h"

#include <limits>

// A receive asks for at most a 16-bit count, which the bounded socket buffer must be able to hold.
static_assert(RemoteConsole::ReadBufferBytes > std::numeric_limits<qint16>::max());

RemoteConsole::RemoteConsole(SettingsStore &store, QObject *parent) : RemoteConsole(ConsoleSettings{}, parent)
{
    m_store = &store;
}

RemoteConsole::RemoteConsole(const ConsoleSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    // Coarse timers may fire 5 % late; every limit here is meant to the millisecond.
    for (QTimer *timer : {&Timer1, &Timer2, &Timer3, &m_echoLimit})
        timer->setTimerType(Qt::PreciseTimer);
    // Usable limits even before the first attach sets Timer2 and Timer3.
    Timer1.setInterval(ConnectLimitMs);
    Timer2.setInterval(5000);
    Timer3.setInterval(SendLimitMs);
    m_echoLimit.setSingleShot(true);
    Winsock1.setReadBufferSize(ReadBufferBytes);

    connect(&Timer1, &QTimer::timeout, this, &RemoteConsole::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &RemoteConsole::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &RemoteConsole::Timer3_Timer);
    connect(&Winsock1, &QTcpSocket::bytesWritten, this, &RemoteConsole::Winsock1_SendComplete);
}

RemoteConsole::~RemoteConsole()
{
    Winsock1.abort();
}

void RemoteConsole::Timer1_Timer()
{
    ConnectTimedOut = true;
}

void RemoteConsole::Timer2_Timer()
{
    RecvTimedOut = true;
}

void RemoteConsole::Timer3_Timer()
{
    SendTimedOut = true;
}

void RemoteConsole::Winsock1_SendComplete()
{
    // The socket reports every piece it hands to the system; the send is complete with the last one.
    if (Winsock1.bytesToWrite() == 0)
        SendDone = true;
}

void RemoteConsole::Sleep(int ms)
{
    if (ms <= 0)
        return;
    std::unique_lock lock(m_pauseMutex);
    m_pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_abandoned.load(); });
}

void RemoteConsole::abandon()
{
    {
        const std::lock_guard lock(m_pauseMutex);
        m_abandoned = true;
    }
    m_pauseWake.notify_all();
    // Queued into the console's thread, which also wakes a wait sleeping in its event loop.
    QMetaObject::invokeMethod(this, &RemoteConsole::SockClose, Qt::QueuedConnection);
}

qint16 RemoteConsole::SockConnect(const QString &host, const QString &portText)
{
    Timer1.setInterval(ConnectLimitMs);
    ConnectTimedOut = false;
    return connectWithinLimit(host, portText) ? 0 : 1;
}

bool RemoteConsole::connectWithinLimit(const QString &host, const QString &portText)
{
    WaitLimit limit(Timer1);
    startConnecting(host, portText);
    // A refused or failed attempt does not end the wait: only a connection or the limit does.
    EventPasses passes;
    for (;;) {
        passes.next();
        if (Winsock1.state() == QAbstractSocket::ConnectedState)
            return true;
        if (m_abandoned)
            return false;
        if (limit.reached())
            Timer1_Timer();
        if (ConnectTimedOut) {
            qCDebug(lcConsole) << "connect to" << host << "port" << portText << "(hex) not within"
                               << Timer1.interval() << "ms; last socket error:" << Winsock1.errorString();
            return false;
        }
    }
}

void RemoteConsole::startConnecting(const QString &host, const QString &portText)
{
    if (Winsock1.state() != QAbstractSocket::UnconnectedState)
        Winsock1.abort();
    if (m_abandoned)
        return;
    const std::optional<quint16> port = portFromHexText(portText);
    if (!port)
        return; // nothing to connect to; the wait runs to its limit
    Winsock1.connectToHost(decimalDottedHost(host), *port);
}

void RemoteConsole::SockFlush()
{
    if (!Winsock1.isOpen())
        return;
    Winsock1.skip(Winsock1.bytesAvailable());
    // Also what the system already holds for us but the socket has not fetched yet. Bounded, so that a
    // unit sending without pause cannot keep us here.
    constexpr int kMaxFetches = 16;
    for (int fetch = 0; fetch < kMaxFetches && Winsock1.state() == QAbstractSocket::ConnectedState &&
                        Winsock1.waitForReadyRead(0);
         ++fetch) {
        Winsock1.skip(Winsock1.bytesAvailable());
    }
}

bool RemoteConsole::SockSend(const QByteArray &text)
{
    SendTimedOut = false;
    WaitLimit limit(Timer3);
    SendDone = false;
    if (Winsock1.state() != QAbstractSocket::ConnectedState)
        return false;
    if (text.isEmpty()) {
        SendDone = true; // nothing to hand over is handed over at once
        return true;
    }
    qCDebug(lcConsole) << "sent" << text.toHex(' ');
    if (Winsock1.write(text) != text.size())
        return false;
    EventPasses passes;
    while (!SendDone && !SendTimedOut && !m_abandoned) {
        passes.next();
        if (limit.reached())
            Timer3_Timer();
    }
    return SendDone && !SendTimedOut;
}

bool RemoteConsole::SockRecv(int minChars, QByteArray &buffer)
{
    return receiveWithin(minChars, buffer, QDeadlineTimer(QDeadlineTimer::Forever));
}

bool RemoteConsole::receiveWithin(int minChars, QByteArray &buffer, const QDeadlineTimer &echoDeadline)
{
    RecvTimedOut = false;
    WaitLimit limit(Timer2);
    EventPasses passes;
    for (;;) {
        passes.next();
        if (limit.reached())
            Timer2_Timer();
        if (!Winsock1.isOpen()) {
            buffer.clear();
            return false;
        }
        buffer = Winsock1.peek(Winsock1.bytesAvailable());
        if (buffer.size() >= minChars) {
            buffer = Winsock1.readAll();
            qCDebug(lcConsole) << "received" << buffer.toHex(' ');
            break;
        }
        if (RecvTimedOut)
            break;
        // Closed by the unit: nothing more can come.
        if (Winsock1.state() != QAbstractSocket::ConnectedState)
            return false;
        if (echoDeadline.hasExpired())
            return false;
    }
    return !RecvTimedOut;
}

void RemoteConsole::SockClose()
{
    Winsock1.abort();
}
