// Times pelmora2-batch as a child process against 64 simulated units on loopback: one unit alone, then
// all 64 with --jobs 64, for a communication check only and for gateway + mask + port change + check;
// the child's CPU time and peak resident memory come from wait4. For scale, the window's sequential
// ComCheck All of eight units through ConsoleOperations on the real main window (offscreen).
#include "ConsoleOperations.h"
#include "MainWindow.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int Units = 64;
constexpr int WindowSlots = 8;

struct ChildFigures {
    bool passed = false; // exit status 0: every step passed
    double wallMs = 0;
    double cpuMs = 0;
    double peakRssMiB = 0;
};

// Runs the program with its output to /dev/null and waits for it.
ChildFigures runChild(const QStringList &arguments)
{
    std::vector<QByteArray> storage;
    storage.reserve(std::size_t(arguments.size()));
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    argv.reserve(storage.size() + 1);
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ChildFigures figures;
    QElapsedTimer wall;
    wall.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return figures;
    // The child's own peak, VmHWM, read while it runs: wait4's ru_maxrss would also count the pages it
    // shared with this process before its exec.
    int status = 0;
    rusage usage{};
    double peakKiB = 0;
    QFile procStatus(QString("/proc/%1/status").arg(pid));
    for (;;) {
        const pid_t ended = ::wait4(pid, &status, WNOHANG, &usage);
        if (ended == pid)
            break;
        if (ended < 0)
            return figures;
        if (procStatus.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : procStatus.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    peakKiB = std::max(peakKiB, line.mid(6).trimmed().split(' ').value(0).toDouble());
            procStatus.close();
        }
        ::usleep(5000);
    }
    figures.wallMs = double(wall.nsecsElapsed()) / 1e6;
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    figures.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    figures.peakRssMiB = peakKiB / 1024.0;
    figures.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}

// A plan of the first `count` units; `settings` adds gateway, mask and a port change to the unit's own
// port (so that it stays where it is) before the check.
QString writePlan(const QString &path, const SimUnits &sim, int count, bool settings)
{
    QString text = "unit,ip,port,gateway,mask,new_port\n";
    for (int i = 0; i < count; ++i)
        text +=
            QString("u%1,127.0.0.1,%2,%3\n")
                .arg(i)
                .arg(sim.portText(i), settings ? "10.0.0.1,255.255.255.0," + sim.portText(i) : QString(",,"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return {};
    return path;
}

struct NoBoxes : MessageBoxes {
    void showMessageBox(const QString &, const QString &, BoxIcon icon) override { icons.append(icon); }
    QList<BoxIcon> icons;
};

// The window's ComCheck All over the first eight units: milliseconds, or a negative value on a failure.
double windowComCheckAll(const SimUnits &sim, const QString &storeRoot)
{
    SettingsStore store(storeRoot);
    RemoteConsole console(store);
    frmPelmora2 window(store);
    NoBoxes boxes;
    window.setMessageBoxes(&boxes);
    window.show();
    window.findChild<QAction *>("mnuComCheck")->trigger();
    for (int slot = 0; slot < WindowSlots; ++slot) {
        const auto control = [&](const char *name) {
            return window.findChild<QWidget *>(QString("%1[%2]").arg(name).arg(slot));
        };
        qobject_cast<QLineEdit *>(control("txtIPAddr_ComCheck"))->setText("127.0.0.1");
        qobject_cast<QLineEdit *>(control("txtPort_ComCheck"))->setText(sim.portText(slot));
        if (auto *tick = qobject_cast<QCheckBox *>(control("chkSlot_ComCheck")); !tick->isChecked())
            tick->click();
    }
    ConsoleOperations operations(window, console);
    QElapsedTimer timer;
    timer.start();
    operations.runAllTicked(ConsoleOp::ComCheck);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return boxes.icons == QList<BoxIcon>{BoxIcon::Information} ? ms : -ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    if (qEnvironmentVariableIsEmpty("PELMORA2_BIN_DIR"))
        qputenv("PELMORA2_BIN_DIR", bin.toLocal8Bit());
    QTemporaryDir dir;
    // The program's REMOTE settings (defaults) and capture folder stay in here.
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    SimUnits sim;
    if (!sim.start(QStringList(Units, QStringLiteral("0")))) {
        std::fprintf(stderr, "bench_batch: %s\n", qPrintable(sim.error()));
        return 1;
    }
    const QString program = bin + "/pelmora2-batch";

    std::printf("pelmora2-batch against %d simulated units on loopback, default REMOTE settings\n", Units);
    std::printf("%-44s %9s %8s %9s %9s  %s\n", "run", "wall ms", "x alone", "CPU ms", "peak MiB", "result");
    int failures = 0;
    for (const bool settings : {false, true}) {
        const char *steps = settings ? "gateway+mask+new_port+check" : "check";
        double aloneMs = 0;
        for (const int count : {1, Units}) {
            const QString plan = writePlan(dir.filePath(QString("plan-%1-%2.csv").arg(count).arg(settings)),
                                           sim, count, settings);
            const ChildFigures figures = runChild({program, plan, "--jobs", QString::number(Units)});
            if (count == 1)
                aloneMs = figures.wallMs;
            failures += figures.passed ? 0 : 1;
            std::printf("%-44s %9.1f %7.3fx %9.1f %9.1f  %s\n",
                        qPrintable(QString("%1, %2 unit%3").arg(steps).arg(count).arg(count == 1 ? "" : "s")),
                        figures.wallMs, figures.wallMs / aloneMs, figures.cpuMs, figures.peakRssMiB,
                        figures.passed ? "all passed" : "FAILED");
        }
    }
    const double windowMs = windowComCheckAll(sim, dir.filePath("window"));
    failures += windowMs < 0 ? 1 : 0;
    std::printf("%-44s %9.1f %8s %9s %9s  %s\n", "window ComCheck All, 8 units one after another",
                std::abs(windowMs), "", "", "", windowMs < 0 ? "FAILED" : "all passed");
    std::printf("targets: 64 units at most 1.5x one unit alone; peak resident memory under 128 MiB\n");
    return failures == 0 ? 0 : 1;
}
