#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTcpSocket>

// The real qv512-sim as a child process: started with a command line, its stdout read line by line.
class SimProcess
{
public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    static QString binary();

    // Runs program (default: the simulator) with arguments and waits for untilLine (default READY).
    bool start(const QStringList &arguments, const QString &program = binary(),
               const QString &untilLine = QStringLiteral("READY"));
    // Waits until a line equal to line has been printed (now or before).
    bool waitForLine(const QString &line, int timeoutMs = 5000) { return waitForLines(line, 1, timeoutMs); }
    // Waits until line has been printed count times.
    bool waitForLines(const QString &line, int count, int timeoutMs = 5000);
    // Waits until a line starting with prefix has been printed; returns it, or empty.
    QString waitForLineStartingWith(const QString &prefix, int timeoutMs = 5000);
    quint16 port(int index) const;
    const QStringList &lines() const { return m_lines; }
    void stop();

private:
    void takeOutput();

    QProcess m_process;
    QByteArray m_partial;
    QStringList m_lines;
};

// One console connection to a simulated unit.
class UnitClient
{
public:
    bool connectTo(quint16 port, const QString &host = QStringLiteral("127.0.0.1"));
    QAbstractSocket::SocketError connectError(quint16 port);

    void send(const QByteArray &bytes);
    // Reads until at least count bytes have arrived since the last call, or timeoutMs passed.
    QByteArray readAtLeast(int count, int timeoutMs = 3000);
    // What the next arrival holds (one chunk), or empty after timeoutMs.
    QByteArray nextChunk(int timeoutMs = 3000);
    // True when nothing arrives within ms.
    bool staysQuiet(int ms);
    // Sends c and returns what comes back, reading until expectedLength bytes are in.
    QByteArray exchange(char c, int expectedLength);
    // ESC and its answer ESC CR LF + prompt.
    bool attach();
    bool waitForClose(int timeoutMs = 3000);

    QTcpSocket socket;
};
