#include "RemoteConsole.h"

#include "ConsoleLogging.h"
#include "ConsoleSettings.h"
#include "EventPasses.h"

namespace
{

constexpr char kEsc = 27;
const QByteArray kAnswerStart("\x1b\r\n");
constexpr int kAfterEscPauseMs = 100;
constexpr int kBeforeReconnectPauseMs = 500;

} // namespace

qint16 RemoteConsole::ConsoleAttach(const QString &host, const QString &portText)
{
    const ConsoleSettings settings = m_store ? loadConsoleSettings(*m_store) : m_settings;
    Timer2.setInterval(settings.recvTimeoutMs);
    Timer3.setInterval(SendLimitMs);

    qint16 result = 0;
    AtAfterError = false;
    QByteArray reply;
    for (int attempt = 1; attempt <= settings.attachTries; ++attempt) {
        SockFlush();
        reply.clear();
        // Send and receive results do not matter: a dead connection shows up as an empty reply.
        SockSend(QByteArray(1, kEsc));
        servicePendingEvents();
        Sleep(kAfterEscPauseMs);
        SockRecv(3, reply);
        servicePendingEvents();
        if (reply.size() >= 4 && reply.startsWith(kAnswerStart)) {
            result = runControlCommands(static_cast<unsigned char>(reply.at(3)));
            break;
        }
        servicePendingEvents();
        // A unit silent for this long gets a fresh connection before the next ESC.
        if (reply.isEmpty() && attempt >= 4) {
            Sleep(kBeforeReconnectPauseMs);
            SockClose();
            Timer1.setInterval(ConnectLimitMs);
            ConnectTimedOut = false;
            if (!connectWithinLimit(host, portText))
                break;
        }
        servicePendingEvents();
    }
    if (reply.isEmpty()) {
        qCDebug(lcConsole) << "no answer to ESC from" << host << "port" << portText << "(hex)";
        LastErrorText = QStringLiteral("Can not Connected");
    } else if (result != 1) {
        qCDebug(lcConsole) << "attach refused; the answer to ESC was" << reply.toHex(' ');
    }
    return result;
}

qint16 RemoteConsole::runControlCommands(unsigned char prompt)
{
    struct Selection {
        unsigned char lowestPrompt;
        qint16 (RemoteConsole::*command)();
    };
    // Checked in this order; each one that the prompt reaches is sent.
    static constexpr Selection kSelections[] = {
        {44, &RemoteConsole::CtlCmd127},
        {48, &RemoteConsole::CtlCmd126},
        {50, &RemoteConsole::CtlCmd124},
        {49, &RemoteConsole::CtlCmd125},
    };
    for (const Selection &selection : kSelections) {
        if (prompt >= selection.lowestPrompt && (this->*selection.command)() != 0)
            return 0;
    }
    return 1;
}
