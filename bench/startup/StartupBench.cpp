// Measures and prints, without asserting anything:
//  - the time from starting a pelmora2 process to its window being shown, and the process's peak
//    resident memory (VmHWM) at that moment, over several starts. The program is run with
//    PELMORA2_EXIT_AFTER_SHOW set (it then prints its VmHWM once the window is painted and ends
//    without saving) and with a throw-away settings folder;
//  - the cost of appending one log line when the log holds 100 lines and when it holds 100 000.
// Usage: bench_startup [starts]   (pelmora2 is looked for next to this program)
#include "LogWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace
{

struct StartFigures {
    double shownMs;
    long vmhwmKb;
};

std::optional<StartFigures> startOnce(const QString &program, const QString &configRoot)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELMORA2_EXIT_AFTER_SHOW"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configRoot);
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);

    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    QByteArray out;
    while (!out.contains('\n')) {
        if (!process.waitForReadyRead(20000)) // sleeps until output arrives or the process ends
            break;
        out += process.readAllStandardOutput();
    }
    const double shownMs = clock.nsecsElapsed() / 1e6;
    if (!process.waitForFinished(10000))
        process.kill();
    const int at = out.indexOf("PELMORA2_SHOWN vmhwm_kb=");
    if (at < 0)
        return std::nullopt;
    return StartFigures{shownMs, out.mid(at + 24).trimmed().split('\n').value(0).toLong()};
}

QString logLine(int n)
{
    return QStringLiteral("        IP : 192.168.0.%1   Port : 1F90\r\n").arg(n % 256);
}

// Nanoseconds per line for `count` lines appended one at a time; with events, each append is followed
// by the event processing an operation's step allows (layout and paint of the log window included).
double appendCost(LogWindow &log, int count, bool withEvents)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        log.appendLog(logLine(i));
        if (withEvents)
            QApplication::processEvents();
    }
    const double cost = double(clock.nsecsElapsed()) / count;
    QApplication::processEvents();
    return cost;
}

void fillTo(LogWindow &log, int lines)
{
    constexpr int Chunk = 1000;
    for (int held = 0; held < lines; held += Chunk) {
        QString block;
        for (int i = held; i < std::min(held + Chunk, lines); ++i)
            block += logLine(i);
        log.appendLog(block);
    }
    QApplication::processEvents();
}

// A fresh log window holding `lines` lines, then the cost of `Measured` more.
double costAtLength(int lines, bool withEvents)
{
    constexpr int Measured = 200;
    LogWindow log;
    log.resize(321, 417); // the window's own size for it
    log.show();
    fillTo(log, lines);
    return appendCost(log, Measured, withEvents);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int starts = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora2");
    QTemporaryDir config;
    std::vector<StartFigures> figures;
    for (int i = 0; i < starts; ++i) {
        const auto f = startOnce(program, config.path());
        if (!f) {
            std::printf("pelmora2 did not report a shown window (is %s built? without administrator rights "
                        "the start-up caution waits for OK)\n",
                        qPrintable(program));
            return 1;
        }
        figures.push_back(*f);
    }
    std::sort(figures.begin(), figures.end(), [](auto a, auto b) { return a.shownMs < b.shownMs; });
    std::printf("pelmora2 start to shown window over %d starts: min %.1f ms, median %.1f ms, max %.1f ms\n",
                starts, figures.front().shownMs, figures[figures.size() / 2].shownMs, figures.back().shownMs);
    std::printf("peak resident memory (VmHWM) at shown window: median %ld kB\n",
                figures[figures.size() / 2].vmhwmKb);

    std::printf("\n%-30s %14s %14s\n", "log window, cost per line", "100 lines", "100 000 lines");
    for (bool withEvents : {false, true})
        std::printf("%-30s %11.1f us %11.1f us\n", withEvents ? "append + event processing" : "append only",
                    costAtLength(100, withEvents) / 1000, costAtLength(100000, withEvents) / 1000);
    return 0;
}
