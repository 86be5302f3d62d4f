// Times pelmora2-batch as a child process against 256 simulated units on loopback: one unit alone, then
// all 256 with --jobs 256, for a communication check only and for gateway + mask + port change + check,
// with the child's CPU time and peak resident memory. As root, also 64 factory-fresh units in network
// namespaces, assigned their addresses at once, against one fresh unit alone. For scale, the window's
// sequential ComCheck All of eight units on the real main window (offscreen).
#include "FreshUnitFarm.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "WindowAllRun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

constexpr int Units = 256;
constexpr int FreshUnits = 64;

struct ChildFigures {
    bool passed = false; // exit status 0: every step passed
    double wallMs = 0, cpuMs = 0, peakRssMiB = 0;
    QByteArray firstFailure; // the summary's first FAILED line
};

// Runs the program with its progress to /dev/null and waits for it. Its CPU time is what the children
// reaped meanwhile used; its peak is its own VmHWM, read while it runs.
ChildFigures runChild(const QString &program, const QStringList &arguments)
{
    const auto cpuMs = [] {
        rusage usage{};
        ::getrusage(RUSAGE_CHILDREN, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    };
    const double cpuBefore = cpuMs();
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer wall;
    wall.start();
    child.start(program, arguments);
    QFile procStatus(QString("/proc/%1/status").arg(child.processId()));
    double peakKiB = 0;
    while (!child.waitForFinished(5)) {
        if (child.state() == QProcess::NotRunning || !procStatus.open(QIODevice::ReadOnly))
            break;
        for (const QByteArray &line : procStatus.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peakKiB = std::max(peakKiB, line.mid(6).trimmed().split(' ').value(0).toDouble());
        procStatus.close();
    }
    child.waitForFinished(-1);
    const QList<QByteArray> summary = child.readAllStandardOutput().split('\n');
    const auto failed = std::find_if(summary.cbegin(), summary.cend(),
                                     [](const QByteArray &line) { return line.startsWith("FAILED "); });
    return {child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
            double(wall.nsecsElapsed()) / 1e6, cpuMs() - cpuBefore, peakKiB / 1024.0,
            failed == summary.cend() ? QByteArray() : *failed};
}

void printRow(const QString &name, const ChildFigures &figures, double aloneMs)
{
    std::printf("%-44s %9.1f %7.3fx %9.1f %9.1f  %s\n", qPrintable(name), figures.wallMs,
                figures.wallMs / aloneMs, figures.cpuMs, figures.peakRssMiB,
                figures.passed ? "all passed" : "FAILED");
    if (!figures.firstFailure.isEmpty())
        std::printf("    first failure: %s\n", figures.firstFailure.constData());
}

// One fresh unit alone, then 64 others at once: each gets its address (static neighbour entry + ping)
// and a communication check, the program inside the farm's host namespace. 1 when a run failed.
int benchFreshUnits(const QString &bin, const QDir &dir)
{
    if (::geteuid() != 0) {
        std::printf("fresh units in network namespaces: skipped, needs root\n");
        return 0;
    }
    FreshUnitFarm farm(FreshUnits + 1, bin + "/qv512-sim");
    if (!farm.ready()) {
        std::fprintf(stderr, "bench_batch: the fresh units' namespaces could not be made\n");
        return 1;
    }
    int failures = 0;
    double aloneMs = 0;
    for (const auto &[first, count] : {std::pair{0, 1}, std::pair{1, FreshUnits}}) {
        QFile plan(dir.filePath(QString("fresh-%1.csv").arg(count)));
        plan.open(QIODevice::WriteOnly);
        plan.write("unit,ip,port,mac\n");
        for (int i = first; i < first + count; ++i)
            plan.write(QString("f%1,%2,2710,%3\n")
                           .arg(i)
                           .arg(FreshUnitFarm::address(i), FreshUnitFarm::macTail(i))
                           .toUtf8());
        plan.close();
        const ChildFigures figures = runChild("ip", {"netns", "exec", farm.hostNs, bin + "/pelmora2-batch",
                                                     plan.fileName(), "--jobs", QString::number(FreshUnits)});
        if (count == 1)
            aloneMs = figures.wallMs;
        failures += figures.passed ? 0 : 1;
        printRow(QString("fresh: assign+check, %1 unit%2").arg(count).arg(count == 1 ? "" : "s"), figures,
                 aloneMs);
    }
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Parts named on the command line (loopback, fresh, window) run alone; none named: all of them.
    const QStringList parts = app.arguments().mid(1);
    const auto wanted = [&parts](const char *part) { return parts.isEmpty() || parts.contains(part); };
    const QString bin = QCoreApplication::applicationDirPath();
    if (qEnvironmentVariableIsEmpty("PELMORA2_BIN_DIR"))
        qputenv("PELMORA2_BIN_DIR", bin.toLocal8Bit());
    QTemporaryDir dir;
    // The program's REMOTE settings (defaults) and capture folder stay in here.
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    SimUnits sim;
    // Quiet: nothing reads the simulator's event lines while a run goes on, and once they fill the pipe
    // the simulator stops answering every unit at once.
    if (!sim.start(QStringList{QStringLiteral("--quiet")} + QStringList(Units, QStringLiteral("0")))) {
        std::fprintf(stderr, "bench_batch: %s\n", qPrintable(sim.error()));
        return 1;
    }
    const QString program = bin + "/pelmora2-batch";

    std::printf("pelmora2-batch, default REMOTE settings: %d simulated units on loopback; fresh units in "
                "network namespaces of their own\n",
                Units);
    std::printf("%-44s %9s %8s %9s %9s  %s\n", "run", "wall ms", "x alone", "CPU ms", "peak MiB", "result");
    int failures = 0;
    for (const bool settings : {false, true}) {
        if (!wanted("loopback"))
            break;
        const char *steps = settings ? "gateway+mask+new_port+check" : "check";
        double aloneMs = 0;
        for (const int count : {1, Units}) {
            // With settings, a port change to the unit's own port, so that it stays where it is.
            QFile plan(dir.filePath(QString("plan-%1-%2.csv").arg(count).arg(settings)));
            plan.open(QIODevice::WriteOnly);
            plan.write("unit,ip,port,gateway,mask,new_port\n");
            for (int i = 0; i < count; ++i)
                plan.write(
                    QString("u%1,127.0.0.1,%2,%3\n")
                        .arg(i)
                        .arg(sim.portText(i), settings ? "10.0.0.1,255.255.255.0," + sim.portText(i) : ",,")
                        .toUtf8());
            plan.close();
            const ChildFigures figures =
                runChild(program, {plan.fileName(), "--jobs", QString::number(Units)});
            if (count == 1)
                aloneMs = figures.wallMs;
            failures += figures.passed ? 0 : 1;
            printRow(QString("%1, %2 unit%3").arg(steps).arg(count).arg(count == 1 ? "" : "s"), figures,
                     aloneMs);
        }
    }
    if (wanted("fresh"))
        failures += benchFreshUnits(bin, QDir(dir.path()));
    if (wanted("window")) {
        SettingsStore store(dir.filePath("window"));
        RemoteConsole console(store);
        frmPelmora2 window(store);
        ConsoleOperations operations(window, console);
        const double windowMs = timeWindowAll(window, operations, sim, 8, ConsoleOp::ComCheck);
        failures += windowMs < 0 ? 1 : 0;
        std::printf("%-44s %9.1f %8s %9s %9s  %s\n", "window ComCheck All, 8 units one after another",
                    std::abs(windowMs), "", "", "", windowMs < 0 ? "FAILED" : "all passed");
    }
    std::printf(
        "targets: 256 units at most 1.2x one unit alone, peak resident memory under 128 MiB; 64 fresh "
        "units at most 2x one fresh unit\n");
    return failures == 0 ? 0 : 1;
}
