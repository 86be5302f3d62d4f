// Times each console operation over eight simulated units (instant echo) through ConsoleOperations
// with a recording view, and sets the total next to the protocol's own floor: the attach's 100 ms
// pause per attempt plus the operation's fixed pause, per slot.
#include "ConsoleOperations.h"
#include "FakeOperationView.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace
{

constexpr int Slots = 8;
constexpr int AttachPauseMs = 100;

struct Measured {
    const char *name;
    ConsoleOp op;
    Pane pane;
    Field ip, port;
    std::optional<Field> further; // New Port, GateWay or SubnetMask
    int pauseMs;
};

void fillRows(FakeOperationView &view, const SimUnits &sim, const Measured &m)
{
    for (int slot = 0; slot < Slots; ++slot) {
        view.fields[{m.ip, slot}] = QStringLiteral("127.0.0.1");
        view.fields[{m.port, slot}] = sim.portText(slot);
        // The new port is the present one, so every unit stays reachable for the next run.
        if (m.further)
            view.fields[{*m.further, slot}] =
                m.op == ConsoleOp::SetPort ? sim.portText(slot) : QStringLiteral("10.0.0.1");
        view.ticked[{m.pane, slot}] = true;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString prompt = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(">");
    if (qEnvironmentVariableIsEmpty("PELMORA2_BIN_DIR"))
        qputenv("PELMORA2_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());

    QStringList units;
    for (int i = 0; i < Slots; ++i)
        units << QStringLiteral("0:prompt=") + prompt;
    SimUnits sim;
    if (!sim.start(units)) {
        std::fprintf(stderr, "bench_commission: %s\n", qPrintable(sim.error()));
        return 1;
    }
    QTemporaryDir storeDir;
    SettingsStore store(storeDir.path());
    RemoteConsole console(store);

    const Measured runs[] = {
        {"ComCheck All", ConsoleOp::ComCheck, Pane::ComCheck, Field::IPAddr_ComCheck, Field::Port_ComCheck,
         std::nullopt, 1000},
        {"Set All (GW)", ConsoleOp::SetGW, Pane::GW, Field::IPAddr_GW, Field::Port_GW, Field::GateWay, 3000},
        {"Set All (Subnet)", ConsoleOp::SetSubnet, Pane::Sub, Field::IPAddr_Sub, Field::Port_Sub,
         Field::SubnetMask, 3000},
        {"Set All (Port)", ConsoleOp::SetPort, Pane::Port, Field::IPAddr_Port, Field::Port_Port,
         Field::NewPort, 3000},
    };

    std::printf("Eight simulated units on loopback, prompt '%s', recording view (FakeOperationView)\n",
                qPrintable(prompt));
    std::printf("%-18s %10s %10s %14s %10s %s\n", "run", "total ms", "floor ms", "overhead/slot", "overhead",
                "result");
    int failures = 0;
    for (const Measured &m : runs) {
        FakeOperationView view;
        ConsoleOperations ops(view, console);
        fillRows(view, sim, m);
        QElapsedTimer timer;
        timer.start();
        ops.runAllTicked(m.op);
        const double totalMs = double(timer.nsecsElapsed()) / 1e6;
        const double floorMs = Slots * double(AttachPauseMs + m.pauseMs);
        const bool allPassed = view.boxes.size() == 1 && view.boxes.first().icon == BoxIcon::Information;
        failures += allPassed ? 0 : 1;
        std::printf("%-18s %10.1f %10.0f %11.2f ms %9.2f%% %s\n", m.name, totalMs, floorMs,
                    (totalMs - floorMs) / Slots, 100.0 * (totalMs - floorMs) / floorMs,
                    allPassed ? "all passed" : "FAILED (see log below)");
        if (!allPassed)
            std::printf("%s\n", qPrintable(view.log));
    }
    return failures == 0 ? 0 : 1;
}
