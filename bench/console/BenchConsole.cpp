// Timing figures of the remote console against qv512-sim on loopback.
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimulatorProcess.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTemporaryDir>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Command lines the simulator accepts quietly: every character comes back as its echo (CR as CR LF).
QByteArray benchCommand(int lines)
{
    QByteArray command;
    for (int i = 0; i < lines; ++i)
        command += "UE1\r";
    return command;
}

// The floor: one blocking socket, each character sent and its echo read before the next.
double floorPerCharUs(quint16 port, const QByteArray &command)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    const auto start = Clock::now();
    char reply[64];
    for (const char c : command) {
        if (send(fd, &c, 1, 0) != 1)
            break;
        const int need = c == '\r' ? 2 : 1;
        for (int got = 0; got < need;) {
            const ssize_t n = recv(fd, reply, sizeof reply, 0);
            if (n <= 0)
                break;
            got += int(n);
        }
    }
    const double us = msSince(start) * 1000.0 / double(command.size());
    close(fd);
    return us;
}

double consolePerCharUs(RemoteConsole &console, const QString &portText, const QByteArray &command)
{
    if (console.SockConnect("127.0.0.1", portText) != 0)
        return -1;
    const auto start = Clock::now();
    const qint16 result = console.ConsoleCommand(command);
    const double us = msSince(start) * 1000.0 / double(command.size());
    console.SockClose();
    return result == 0 ? us : -1;
}

void printOvershoots(const char *what, int limitMs, const std::vector<double> &elapsed)
{
    double worst = 0;
    double sum = 0;
    for (const double ms : elapsed) {
        worst = std::max(worst, ms - limitMs);
        sum += ms - limitMs;
    }
    std::printf("  %-8s limit %5d ms: overshoot mean %.2f ms, worst %.2f ms (%zu runs)\n", what, limitMs,
                sum / double(elapsed.size()), worst, elapsed.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimulatorProcess simulator;
    if (!simulator.start(QV512_SIM_PATH, {"0", "0:refuse", "0:silent"})) {
        std::fprintf(stderr, "qv512-sim did not come up (%s)\n", QV512_SIM_PATH);
        return 1;
    }
    QTemporaryDir storeDir;
    SettingsStore store(storeDir.path());
    RemoteConsole console(store);

    // Per-character round trip.
    const QByteArray command = benchCommand(250);
    std::vector<double> floorRuns;
    std::vector<double> consoleRuns;
    for (int round = 0; round < 7; ++round) {
        floorRuns.push_back(floorPerCharUs(simulator.port(0), command));
        consoleRuns.push_back(consolePerCharUs(console, simulator.portText(0), command));
    }
    const double floorUs = median(floorRuns);
    const double consoleUs = median(consoleRuns);
    std::printf("Per-character round trip (%lld characters, median of %zu runs)\n",
                static_cast<long long>(command.size()), consoleRuns.size());
    std::printf("  blocking socket floor: %8.1f us\n", floorUs);
    std::printf("  ConsoleCommand:        %8.1f us  (%.2fx the floor)\n", consoleUs, consoleUs / floorUs);

    // The connect wait on a refusing unit: its CPU cost and its overshoot.
    const double cpuBefore = cpuMs();
    const auto connectStart = Clock::now();
    const qint16 connectResult = console.SockConnect("127.0.0.1", simulator.portText(1));
    const double connectMs = msSince(connectStart);
    const double connectCpuMs = cpuMs() - cpuBefore;
    std::printf("Connect wait on a refusing unit: result %d after %.1f ms, CPU %.2f ms\n", connectResult,
                connectMs, connectCpuMs);

    // Receive limit: a unit that never answers.
    std::vector<double> receiveRuns;
    console.Timer2.setInterval(1000);
    if (console.SockConnect("127.0.0.1", simulator.portText(2)) == 0) {
        for (int run = 0; run < 5; ++run) {
            QByteArray buffer;
            const auto start = Clock::now();
            console.SockRecv(1, buffer);
            receiveRuns.push_back(msSince(start));
        }
    }
    console.SockClose();

    // Send limit: a listener that never takes the connection, so the system's buffers fill up.
    std::vector<double> sendRuns;
    const QByteArray bulk(64 * 1024 * 1024, 'x');
    for (int run = 0; run < 3; ++run) {
        QTcpServer neverReads;
        neverReads.listen(QHostAddress::LocalHost);
        neverReads.pauseAccepting();
        if (console.SockConnect("127.0.0.1", QString::number(neverReads.serverPort(), 16)) != 0)
            continue;
        const auto start = Clock::now();
        console.SockSend(bulk);
        sendRuns.push_back(msSince(start));
        console.SockClose();
    }

    std::printf("Limit overshoot (elapsed minus limit)\n");
    printOvershoots("connect", RemoteConsole::ConnectLimitMs, {connectMs});
    if (!receiveRuns.empty())
        printOvershoots("receive", 1000, receiveRuns);
    if (!sendRuns.empty())
        printOvershoots("send", RemoteConsole::SendLimitMs, sendRuns);
    return 0;
}
