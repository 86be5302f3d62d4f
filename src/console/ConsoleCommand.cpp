#include "RemoteConsole.h"

#include "ConsoleLogging.h"
#include "EventPasses.h"

namespace
{

constexpr char kCr = 13;
constexpr char kErrorMarker = '%';
constexpr char kUnsupportedMarker = '<';
constexpr int kControlFollowUpChars = 512;

// Keeps the newest part of the carried text: a unit that talks without end must not grow it for ever.
void appendCarried(QByteArray &carried, const QByteArray &chunk)
{
    carried += chunk;
    if (carried.size() > RemoteConsole::CarriedTextLimit)
        carried.remove(0, carried.size() - RemoteConsole::CarriedTextLimit);
}

} // namespace

qint16 RemoteConsole::ConsoleCommand(const QByteArray &command)
{
    return sendCommand(command, nullptr);
}

qint16 RemoteConsole::sendCommand(const QByteArray &command, QByteArray *afterLastEcho)
{
    SockFlush();
    QByteArray carried;
    for (const char sent : command) {
        SockSend(QByteArray(1, sent));
        switch (awaitEcho(sent, carried, afterLastEcho)) {
        case EchoOutcome::Echoed:
            continue;
        case EchoOutcome::TimeOut:
            qCDebug(lcConsole) << "no echo of" << QByteArray(1, sent).toHex() << "in time";
            LastErrorText = QStringLiteral("Time Out Error!");
            return 1;
        case EchoOutcome::Unsupported:
            qCDebug(lcConsole) << "the unit does not know the command" << command;
            LastErrorText = QStringLiteral("999:Unspported Command.");
            return 1;
        case EchoOutcome::ErrorReply:
            // The chunk's last character ends the unit's error line.
            LastErrorText = QString::fromLatin1(carried.chopped(1));
            qCDebug(lcConsole) << "the unit answered" << command << "with" << carried;
            return 1;
        }
    }
    return 0;
}

RemoteConsole::EchoOutcome RemoteConsole::awaitEcho(char sent, QByteArray &carried, QByteArray *afterEcho)
{
    // The console answers CR with CR LF.
    const int need = sent == kCr ? 2 : 1;
    const QDeadlineTimer echoDeadline(EchoLimitMs, Qt::PreciseTimer);
    m_echoLimit.start(EchoLimitMs);
    const NearLimitWakeup nearEchoLimit(EchoLimitMs);
    struct StopOnExit {
        QTimer &timer;
        ~StopOnExit() { timer.stop(); }
    } stopOnExit{m_echoLimit};

    for (;;) {
        QByteArray chunk;
        if (echoDeadline.hasExpired() || !receiveWithin(need, chunk, echoDeadline))
            return EchoOutcome::TimeOut;
        // An error report wins over the echo, and the echo over an unsupported-command mark.
        if (chunk.contains(kErrorMarker)) {
            if (AtAfterError)
                SockSend(QByteArrayLiteral("@"));
            carried += chunk;
            return EchoOutcome::ErrorReply;
        }
        if (const qsizetype echo = chunk.indexOf(sent); echo >= 0) {
            carried.clear();
            if (afterEcho)
                *afterEcho = chunk.mid(echo + 1);
            return EchoOutcome::Echoed;
        }
        if (chunk.contains(kUnsupportedMarker))
            return EchoOutcome::Unsupported;
        appendCarried(carried, chunk);
    }
}

qint16 RemoteConsole::sendControlCharacter(char code)
{
    return ConsoleCommand(QByteArray(1, code)) == 0 ? 0 : 1;
}

qint16 RemoteConsole::CtlCmd127()
{
    const qint16 result = sendControlCharacter(char(127));
    if (result == 0)
        AtAfterError = true;
    return result;
}

qint16 RemoteConsole::CtlCmd126()
{
    // The unit follows its echo with a block of text that only has to arrive; it is not read. A unit
    // may write part or all of it together with the echo, so what shared the echo's chunk counts.
    QByteArray withEcho;
    if (sendCommand(QByteArray(1, char(126)), &withEcho) != 0)
        return 1;
    if (withEcho.size() >= kControlFollowUpChars)
        return 0;
    QByteArray rest;
    return SockRecv(kControlFollowUpChars - int(withEcho.size()), rest) ? 0 : 1;
}

qint16 RemoteConsole::CtlCmd125()
{
    return sendControlCharacter(char(125));
}

qint16 RemoteConsole::CtlCmd124()
{
    return sendControlCharacter(char(124));
}
