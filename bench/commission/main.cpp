// Times each console operation over eight simulated units through the real main window (offscreen unless
// a platform is set), next to the floor: per slot the attach's 100 ms pause, the operation's fixed pause
// and the 20 ms the simulated unit waits before its answer to control command 126.
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "WindowAllRun.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("PELMORA2_BIN_DIR"))
        qputenv("PELMORA2_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());
    constexpr int Slots = 8,
                  FloorPerSlotMs = 100 + 20; // attach pause + the unit's delay before its 126 answer
    SimUnits sim;
    if (!sim.start(QStringList(Slots, QStringLiteral("0")))) {
        std::fprintf(stderr, "bench_commission: %s\n", qPrintable(sim.error()));
        return 1;
    }
    QTemporaryDir storeDir;
    SettingsStore store(storeDir.path());
    RemoteConsole console(store);
    frmPelmora2 window(store);
    ConsoleOperations ops(window, console);

    std::printf("Eight simulated units on loopback through the main window (%s)\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-18s %10s %10s %14s %s\n", "run", "total ms", "floor ms", "overhead/slot", "result");
    const struct {
        const char *name;
        ConsoleOp op;
        int pauseMs;
    } runs[] = {{"ComCheck All", ConsoleOp::ComCheck, 1000},
                {"Set All (GW)", ConsoleOp::SetGW, 3000},
                {"Set All (Subnet)", ConsoleOp::SetSubnet, 3000},
                {"Set All (Port)", ConsoleOp::SetPort, 3000}};
    int failures = 0;
    for (const auto &run : runs) {
        const double ms = timeWindowAll(window, ops, sim, Slots, run.op), totalMs = std::abs(ms);
        const double floorMs = Slots * double(FloorPerSlotMs + run.pauseMs);
        failures += ms < 0 ? 1 : 0;
        std::printf("%-18s %10.1f %10.0f %11.2f ms %s\n", run.name, totalMs, floorMs,
                    (totalMs - floorMs) / Slots, ms < 0 ? "FAILED (see the log window)" : "all passed");
    }
    return failures == 0 ? 0 : 1;
}
