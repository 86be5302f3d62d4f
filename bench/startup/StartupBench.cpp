// Prints, asserting nothing: the time from starting pelmora2 (PELMORA2_EXIT_AFTER_SHOW, throw-away settings)
// to its shown window and its peak resident memory then, over several starts; and the cost of one log line
// appended to a log holding 100 and 100 000 lines. Usage: bench_startup [starts] (pelmora2 beside it)
#include "LogWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

struct AppendCost {
    double appendUs, withEventsUs; // the append alone; with the event processing after it (layout, paint)
};

// Microseconds per line for 200 lines appended one at a time to a log already holding `lines`, each
// followed by the event processing an operation's step allows.
static AppendCost appendCostUs(int lines)
{
    const auto logLine = [](int n) {
        return QString("        IP : 192.168.0.%1   Port : 1F90\r\n").arg(n % 256);
    };
    LogWindow log;
    log.resize(321, 417); // its size in the window
    log.show();
    QString held;
    for (int i = 0; i < lines; ++i)
        held += logLine(i);
    log.appendLog(held);
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    qint64 appendNs = 0;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer append;
        append.start();
        log.appendLog(logLine(i));
        appendNs += append.nsecsElapsed();
        QApplication::processEvents();
    }
    return {appendNs / 200 / 1e3, clock.nsecsElapsed() / 200 / 1e3};
}

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int starts = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString program = QCoreApplication::applicationDirPath() + "/pelmora2";
    QTemporaryDir config;
    std::vector<std::pair<double, long>> figures; // ms to shown window, VmHWM in kB
    for (int i = 0; i < starts; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELMORA2_EXIT_AFTER_SHOW", "1");
        env.insert("XDG_CONFIG_HOME", config.path());
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(program, {});
        QByteArray out;
        while (!out.contains('\n') && process.waitForReadyRead(20000))
            out += process.readAllStandardOutput();
        const double shownMs = clock.nsecsElapsed() / 1e6;
        process.waitForFinished(10000);
        const int at = out.indexOf("PELMORA2_SHOWN vmhwm_kb=");
        if (at < 0) {
            std::printf(
                "%s reported no shown window (built? without administrator rights its caution waits)\n",
                qPrintable(program));
            return 1;
        }
        figures.push_back({shownMs, out.mid(at + 24).split('\n').value(0).trimmed().toLong()});
    }
    std::sort(figures.begin(), figures.end());
    const auto &median = figures[figures.size() / 2];
    std::printf("pelmora2 start to shown window over %d starts: min %.1f ms, median %.1f ms, max %.1f ms\n",
                starts, figures.front().first, median.first, figures.back().first);
    std::printf("peak resident memory (VmHWM) at shown window, median start: %ld kB\n", median.second);
    const AppendCost few = appendCostUs(100);
    const AppendCost many = appendCostUs(100000);
    std::printf("log window, per line at 100 / 100 000 lines: append %.1f / %.1f us; with event processing "
                "%.1f / %.1f us\n",
                few.appendUs, many.appendUs, few.withEventsUs, many.withEventsUs);
    return 0;
}
