// Times each console operation over eight simulated units (prompt ">") through ConsoleOperations on
// the real main window (offscreen unless a platform is set), next to the floor: per slot the attach's
// 100 ms pause, the operation's fixed pause and the 20 ms the simulated unit waits before its answer
// to control command 126.
#include "ConsoleOperations.h"
#include "MainWindow.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

namespace
{

constexpr int Slots = 8;
constexpr int FloorPerSlotMs = 100 + 20; // attach pause + the unit's own delay before its 126 answer

struct Run {
    const char *name;
    ConsoleOp op;
    const char *pane;    // the suffix of the pane's menu item and control names
    const char *further; // New Port, GateWay or SubnetMask field
    int pauseMs;
};

// The port change comes last and asks for the port each unit already has, so every unit stays put.
const Run Runs[] = {{"ComCheck All", ConsoleOp::ComCheck, "ComCheck", nullptr, 1000},
                    {"Set All (GW)", ConsoleOp::SetGW, "GW", "txtGateWay", 3000},
                    {"Set All (Subnet)", ConsoleOp::SetSubnet, "Sub", "txtSubnetMask", 3000},
                    {"Set All (Port)", ConsoleOp::SetPort, "Port", "txtNewPort", 3000}};
const char *const MenuItems[] = {"mnuComCheck", "mnuPort", "mnuGateWay", "mnuSubnet"}; // by ConsoleOp

struct Boxes : MessageBoxes {
    void showMessageBox(const QString &, const QString &, BoxIcon icon) override { icons.append(icon); }
    QList<BoxIcon> icons;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("PELMORA2_BIN_DIR"))
        qputenv("PELMORA2_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());
    SimUnits sim;
    if (!sim.start(QStringList(Slots, QStringLiteral("0")))) {
        std::fprintf(stderr, "bench_commission: %s\n", qPrintable(sim.error()));
        return 1;
    }
    QTemporaryDir storeDir;
    SettingsStore store(storeDir.path());
    RemoteConsole console(store);
    frmPelmora2 window(store);
    Boxes boxes;
    window.setMessageBoxes(&boxes);
    window.show();
    ConsoleOperations ops(window, console);
    const auto control = [&window](const QString &name, int slot) {
        return window.findChild<QWidget *>(QStringLiteral("%1[%2]").arg(name).arg(slot));
    };

    std::printf("Eight simulated units on loopback through the main window (%s)\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-18s %10s %10s %14s %s\n", "run", "total ms", "floor ms", "overhead/slot", "result");
    int failures = 0;
    for (const Run &run : Runs) {
        window.findChild<QAction *>(MenuItems[int(run.op)])->trigger();
        const QString pane = QString::fromLatin1(run.pane);
        for (int slot = 0; slot < Slots; ++slot) {
            qobject_cast<QLineEdit *>(control("txtIPAddr_" + pane, slot))->setText("127.0.0.1");
            qobject_cast<QLineEdit *>(control("txtPort_" + pane, slot))->setText(sim.portText(slot));
            if (run.further)
                qobject_cast<QLineEdit *>(control(run.further, slot))
                    ->setText(run.op == ConsoleOp::SetPort ? sim.portText(slot) : "10.0.0.1");
            if (auto *tick = qobject_cast<QCheckBox *>(control("chkSlot_" + pane, slot)); !tick->isChecked())
                tick->click();
        }
        boxes.icons.clear();
        QElapsedTimer timer;
        timer.start();
        ops.runAllTicked(run.op);
        const double totalMs = double(timer.nsecsElapsed()) / 1e6;
        const double floorMs = Slots * double(FloorPerSlotMs + run.pauseMs);
        const bool passed = boxes.icons == QList<BoxIcon>{BoxIcon::Information};
        failures += passed ? 0 : 1;
        std::printf("%-18s %10.1f %10.0f %11.2f ms %s\n", run.name, totalMs, floorMs,
                    (totalMs - floorMs) / Slots, passed ? "all passed" : "FAILED (see the log window)");
    }
    return failures == 0 ? 0 : 1;
}
