#pragma once

#include "ConsoleSettings.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>

class SettingsStore;

// The remote console of one unit at a time: the TCP connection Winsock1, the timers that bound every
// wait on it, the ESC attach handshake and the character-echoed command exchange.
//
// Every wait sleeps in the event loop until the next socket event, timer tick or user input, so the
// window stays responsive; the fixed pauses (Sleep) block the thread.
class RemoteConsole : public QObject
{
    Q_OBJECT

public:
    // Every attach reads the REMOTE settings from the store (and repairs them there).
    explicit RemoteConsole(SettingsStore &store, QObject *parent = nullptr);
    // Every attach uses these settings, read once by the caller; the store is not touched.
    explicit RemoteConsole(const ConsoleSettings &settings, QObject *parent = nullptr);
    ~RemoteConsole() override;

    // Transport. portText is read as hexadecimal ("1F90" is port 8080).
    qint16 SockConnect(const QString &host, const QString &portText); // 0 connected, 1 not within 10000 ms
    void SockFlush();
    bool SockSend(const QByteArray &text);
    bool SockRecv(int minChars, QByteArray &buffer);
    void SockClose();

    // Attach: 1 attached, 0 not. LastErrorText as the attach leaves it.
    qint16 ConsoleAttach(const QString &host, const QString &portText);
    // Echoed command exchange: 0 every character echoed, 1 failed (reason in LastErrorText).
    qint16 ConsoleCommand(const QByteArray &command);
    qint16 CtlCmd124();
    qint16 CtlCmd125();
    qint16 CtlCmd126();
    qint16 CtlCmd127();

    // A fixed pause: blocks the thread for ms milliseconds and dispatches no event. Ends at once once
    // the console has been abandoned.
    void Sleep(int ms);

    // Callable from any thread: the console gives up its work. The connection is closed in the console's
    // own thread, the pause and the wait in progress end at once, and later ones fail at once, so that
    // the operation running on it takes its failure path without delay. There is no way back.
    void abandon();

    // Program-wide console state, read and written by the operations.
    QString LastErrorText;
    // A slot starts with no error text left from the one before.
    void resetLastError() { LastErrorText.clear(); }

    // What tests and benchmarks may see and set, so that nothing else reaches into the transport: the
    // outcome of the last connect and receive wait, the connection, and the receive limit.
    bool connectTimedOut() const { return ConnectTimedOut; }
    bool recvTimedOut() const { return RecvTimedOut; }
    quint16 peerPort() const { return Winsock1.peerPort(); }
    qint64 bytesWaiting() const { return Winsock1.bytesAvailable(); }
    int receiveLimitMs() const { return Timer2.interval(); }
    void setReceiveLimitMs(int ms) { Timer2.setInterval(ms); }

    // The given procedures answer in opposite senses: these name their success values.
    static constexpr qint16 SockConnected = 0;
    static constexpr qint16 ConsoleAttached = 1;
    static constexpr qint16 CommandEchoed = 0;

    static constexpr int ConnectLimitMs = 10000;
    static constexpr int SendLimitMs = 800;
    // However chatty a unit is, one character's echo is not awaited longer than this.
    static constexpr int EchoLimitMs = 30000;
    // What the socket holds for us at most; the rest waits in the kernel. Covers the largest receive.
    static constexpr qint64 ReadBufferBytes = qint64(64) * 1024;
    // How much of the text received before an error marker is kept for the error text.
    static constexpr qsizetype CarriedTextLimit = qsizetype(4) * 1024;

private slots:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Winsock1_SendComplete();

private:
    // The flags the timers and the transport set; each keeps the outcome of the last wait of its kind.
    bool ConnectTimedOut = false;
    bool RecvTimedOut = false;
    bool SendTimedOut = false;
    bool SendDone = false;
    bool AtAfterError = false; // once control command 127 is accepted, an error reply gets "@"

    QTcpSocket Winsock1;
    QTimer Timer1; // connect limit
    QTimer Timer2; // receive limit (RecvTimeoutMs)
    QTimer Timer3; // send limit

    enum class EchoOutcome { Echoed, TimeOut, Unsupported, ErrorReply };

    // Starts a fresh connection under Timer1 and waits for it: true once established.
    bool connectWithinLimit(const QString &host, const QString &portText);
    void startConnecting(const QString &host, const QString &portText);
    bool receiveWithin(int minChars, QByteArray &buffer, const QDeadlineTimer &echoDeadline);
    // afterLastEcho, when given, receives what followed the last character's echo in its chunk.
    qint16 sendCommand(const QByteArray &command, QByteArray *afterLastEcho);
    EchoOutcome awaitEcho(char sent, QByteArray &carried, QByteArray *afterEcho);
    qint16 sendControlCharacter(char code);
    // The control commands the prompt character selects: 1 when every one sent was accepted.
    qint16 runControlCommands(unsigned char prompt);

    SettingsStore *m_store = nullptr; // null: m_settings holds the settings of every attach
    ConsoleSettings m_settings;
    QTimer m_echoLimit; // wakes a receive wait when the echo limit of the current character passes

    std::atomic<bool> m_abandoned{false};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
};
