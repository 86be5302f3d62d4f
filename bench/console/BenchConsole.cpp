// Timing figures of the remote console against qv512-sim on loopback: per-character round trip against
// a blocking-socket floor, CPU time of a refused connect wait, overshoot of the wait limits.
#include "RemoteConsole.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <netinet/tcp.h>
#include <unistd.h>
#include <vector>

namespace
{

// Milliseconds that one call of run takes.
template <typename Run> double timed(Run run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The floor: one blocking socket, each character sent and its echo (CR: CR LF) read before the next.
double blockingEchoMs(quint16 port, const QByteArray &command)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = htons(port), .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    const bool connected = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    const double ms = timed([&] {
        char reply[64];
        for (const char c : command) {
            ssize_t got = connected && send(fd, &c, 1, 0) == 1 ? 0 : 2;
            for (ssize_t n = 1; n > 0 && got < 1 + (c == '\r'); got += n)
                n = recv(fd, reply, sizeof reply, 0);
        }
    });
    close(fd);
    return connected ? ms : -1;
}

void printOvershoot(const char *what, int limitMs, std::vector<double> elapsed)
{
    std::sort(elapsed.begin(), elapsed.end());
    std::printf("  %-8s limit %5d ms: overshoot median %.2f ms, worst %.2f ms (%zu runs)\n", what, limitMs,
                elapsed[elapsed.size() / 2] - limitMs, elapsed.back() - limitMs, elapsed.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QProcess simulator; // units: sound, refusing, silent
    simulator.start(QV512_SIM_PATH, {"--quiet", "0", "0:refuse", "0:silent"});
    QStringList ports(3);
    while (simulator.waitForReadyRead(5000) || simulator.canReadLine()) {
        const QList<QByteArray> words = simulator.readLine().trimmed().split(' ');
        if (words.size() == 3 && words[0] == "listening")
            ports[words[1].toInt()] = QString::fromLatin1(words[2]);
        if (words[0] == "READY")
            break;
    }
    if (ports.contains(QString())) {
        std::fprintf(stderr, "qv512-sim did not come up (%s)\n", QV512_SIM_PATH);
        return 1;
    }
    QTemporaryDir storeDir;
    SettingsStore store(storeDir.path());
    RemoteConsole console(store);

    const QByteArray command = QByteArray("UE1\r").repeated(250); // accepted quietly, every character echoed
    std::vector<double> floorMs, consoleMs;
    qint16 failed = 0;
    for (int round = 0; round < 7; ++round) {
        floorMs.push_back(blockingEchoMs(ports[0].toUShort(nullptr, 16), command));
        console.SockConnect("127.0.0.1", ports[0]);
        consoleMs.push_back(timed([&] { failed |= console.ConsoleCommand(command); }));
        console.SockClose();
    }
    std::sort(floorMs.begin(), floorMs.end());
    std::sort(consoleMs.begin(), consoleMs.end());
    const double floor = floorMs[3] * 1000 / command.size(), ours = consoleMs[3] * 1000 / command.size();
    std::printf("Per-character round trip (%lld characters, median of 7 runs)\n", qint64(command.size()));
    std::printf("  blocking socket floor: %8.1f us\n  ConsoleCommand:        %8.1f us  (%.2fx the floor)\n",
                floor, ours, ours / floor);
    if (failed)
        std::printf("  (a ConsoleCommand run failed: %s)\n", qPrintable(console.LastErrorText));

    const std::clock_t cpuBefore = std::clock(); // CPU time of the process
    qint16 result = 0;
    const double connectMs = timed([&] { result = console.SockConnect("127.0.0.1", ports[1]); });
    std::printf("Connect wait on a refusing unit: result %d after %.1f ms, CPU %.2f ms\n", result, connectMs,
                (std::clock() - cpuBefore) * 1000.0 / CLOCKS_PER_SEC);

    std::vector<double> receiveMs, sendMs;
    console.setReceiveLimitMs(1000);
    console.SockConnect("127.0.0.1", ports[2]);
    for (int run = 0; run < 5; ++run) {
        QByteArray buffer;
        receiveMs.push_back(timed([&] { console.SockRecv(1, buffer); }));
    }
    const QByteArray bulk(64 * 1024 * 1024, 'x');
    for (int run = 0; run < 3; ++run) {
        QTcpServer neverReads; // never takes the connection, so the system's buffers fill up
        neverReads.listen(QHostAddress::LocalHost);
        neverReads.pauseAccepting();
        console.SockConnect("127.0.0.1", QString::number(neverReads.serverPort(), 16));
        sendMs.push_back(timed([&] { console.SockSend(bulk); }));
        console.SockClose();
    }
    std::printf("Limit overshoot (elapsed minus limit)\n");
    printOvershoot("connect", RemoteConsole::ConnectLimitMs, {connectMs});
    printOvershoot("receive", 1000, receiveMs);
    printOvershoot("send", RemoteConsole::SendLimitMs, sendMs);
    simulator.kill();
    simulator.waitForFinished();
    return 0;
}
