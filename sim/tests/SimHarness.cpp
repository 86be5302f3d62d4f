#include "SimHarness.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTest>

SimProcess::SimProcess()
{
    m_process.setReadChannel(QProcess::StandardOutput);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess()
{
    stop();
}

QString SimProcess::binary()
{
    return QDir(qEnvironmentVariable("PELMORA2_BIN_DIR")).filePath(QStringLiteral("qv512-sim"));
}

bool SimProcess::start(const QStringList &arguments, const QString &program, const QString &untilLine)
{
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(5000)) {
        qWarning("cannot start %s: %s", qPrintable(program), qPrintable(m_process.errorString()));
        return false;
    }
    return waitForLine(untilLine, 10000);
}

bool SimProcess::waitForLines(const QString &line, int count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    takeOutput();
    while (m_lines.count(line) < count) {
        if (!m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
        takeOutput();
    }
    return true;
}

QString SimProcess::waitForLineStartingWith(const QString &prefix, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        takeOutput();
        for (const QString &line : std::as_const(m_lines)) {
            if (line.startsWith(prefix))
                return line;
        }
        if (!m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return {};
    }
}

quint16 SimProcess::port(int index) const
{
    const QString prefix = QStringLiteral("listening %1 ").arg(index);
    for (const QString &line : m_lines) {
        if (line.startsWith(prefix))
            return static_cast<quint16>(line.mid(prefix.size()).toUInt(nullptr, 16));
    }
    return 0;
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void SimProcess::takeOutput()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromLocal8Bit(m_partial.left(end)));
        m_partial.remove(0, end + 1);
    }
}

bool UnitClient::connectTo(quint16 port, const QString &host)
{
    socket.connectToHost(host, port);
    return socket.waitForConnected(5000);
}

QAbstractSocket::SocketError UnitClient::connectError(quint16 port)
{
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    socket.waitForConnected(5000);
    return socket.error();
}

void UnitClient::send(const QByteArray &bytes)
{
    socket.write(bytes);
    socket.flush();
}

QByteArray UnitClient::readAtLeast(int count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray received = socket.readAll();
    while (received.size() < count && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        received += socket.readAll();
    }
    return received;
}

QByteArray UnitClient::nextChunk(int timeoutMs)
{
    if (socket.bytesAvailable() == 0)
        socket.waitForReadyRead(timeoutMs);
    return socket.readAll();
}

bool UnitClient::staysQuiet(int ms)
{
    return socket.bytesAvailable() == 0 && !socket.waitForReadyRead(ms);
}

QByteArray UnitClient::exchange(char c, int expectedLength)
{
    send(QByteArray(1, c));
    return readAtLeast(expectedLength);
}

bool UnitClient::attach()
{
    send(QByteArrayLiteral("\x1b"));
    const QByteArray answer = readAtLeast(4);
    return answer.startsWith("\x1b\r\n") && answer.size() == 4;
}

bool UnitClient::waitForClose(int timeoutMs)
{
    if (socket.state() == QAbstractSocket::UnconnectedState)
        return true;
    return socket.waitForDisconnected(timeoutMs);
}
