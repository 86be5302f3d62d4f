// Times each console operation over eight simulated units (instant echo) through ConsoleOperations
// and sets the total next to the protocol's own floor: the attach's 100 ms pause per attempt plus the
// operation's fixed pause, per slot, plus the time the simulated unit itself takes on purpose (it sends
// its answer to control command 126 about 20 ms after the echo, for prompts that select that command).
//
// bench_commission [--fake-view] [--prompt C]
//   default: the real main window (offscreen unless a platform is set) is the operations' view;
//   --fake-view: a recording view instead, which leaves the frame and the console alone in the figure.
#include "ConsoleOperations.h"
#include "FakeOperationView.h"
#include "MainWindow.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <optional>

namespace
{

constexpr int Slots = 8;
constexpr int AttachPauseMs = 100;

struct Measured {
    const char *name = "";
    ConsoleOp op = ConsoleOp::ComCheck;
    Pane pane = Pane::ComCheck;
    const char *menuItem = ""; // shows the pane in the real window
    const char *tickName = "";
    Field ip = Field::IPAddr_ComCheck;
    Field port = Field::Port_ComCheck;
    std::optional<Field> further; // New Port, GateWay or SubnetMask
    int pauseMs = 0;
};

const Measured Runs[] = {
    {"ComCheck All", ConsoleOp::ComCheck, Pane::ComCheck, "mnuComCheck", "chkSlot_ComCheck",
     Field::IPAddr_ComCheck, Field::Port_ComCheck, std::nullopt, 1000},
    {"Set All (GW)", ConsoleOp::SetGW, Pane::GW, "mnuGateWay", "chkSlot_GW", Field::IPAddr_GW, Field::Port_GW,
     Field::GateWay, 3000},
    {"Set All (Subnet)", ConsoleOp::SetSubnet, Pane::Sub, "mnuSubnet", "chkSlot_Sub", Field::IPAddr_Sub,
     Field::Port_Sub, Field::SubnetMask, 3000},
    // Last, and to the port each unit already has, so every unit stays reachable.
    {"Set All (Port)", ConsoleOp::SetPort, Pane::Port, "mnuPort", "chkSlot_Port", Field::IPAddr_Port,
     Field::Port_Port, Field::NewPort, 3000},
};

class RecordedBoxes : public MessageBoxes
{
public:
    void showMessageBox(const QString &text, const QString &, BoxIcon icon) override
    {
        texts.append(text);
        icons.append(icon);
    }
    bool onlyCompletion() const { return icons.size() == 1 && icons.first() == BoxIcon::Information; }
    void clear()
    {
        texts.clear();
        icons.clear();
    }
    QStringList texts;
    QList<BoxIcon> icons;
};

// The view under measurement: how a pane is made ready, and what came of the run.
struct BenchView {
    OperationView &view;
    std::function<void(const Measured &)> preparePane;
    std::function<void(const Measured &, int slot)> tick;
    std::function<QString()> log;
    RecordedBoxes &boxes;
};

void fillRows(BenchView &bench, const SimUnits &sim, const Measured &m)
{
    bench.preparePane(m);
    for (int slot = 0; slot < Slots; ++slot) {
        bench.view.setFieldText(m.ip, slot, QStringLiteral("127.0.0.1"));
        bench.view.setFieldText(m.port, slot, sim.portText(slot));
        if (m.further)
            bench.view.setFieldText(*m.further, slot,
                                    m.op == ConsoleOp::SetPort ? sim.portText(slot)
                                                               : QStringLiteral("10.0.0.1"));
        bench.tick(m, slot);
    }
}

// The simulated unit's own pause before its answer to 126, which the prompt selects from "0" on.
int unitDelayMs(const QString &prompt)
{
    constexpr int Answer126DelayMs = 20;
    return !prompt.isEmpty() && prompt.at(0).unicode() >= '0' ? Answer126DelayMs : 0;
}

int measure(BenchView &bench, const SimUnits &sim, RemoteConsole &console, int unitMs)
{
    ConsoleOperations ops(bench.view, console);
    std::printf("%-18s %10s %10s %14s %10s %s\n", "run", "total ms", "floor ms", "overhead/slot", "overhead",
                "result");
    int failures = 0;
    for (const Measured &m : Runs) {
        fillRows(bench, sim, m);
        bench.boxes.clear();
        const qsizetype logBefore = bench.log().size();
        QElapsedTimer timer;
        timer.start();
        ops.runAllTicked(m.op);
        const double totalMs = double(timer.nsecsElapsed()) / 1e6;
        const double floorMs = Slots * double(AttachPauseMs + m.pauseMs + unitMs);
        const bool allPassed = bench.boxes.onlyCompletion();
        failures += allPassed ? 0 : 1;
        std::printf("%-18s %10.1f %10.0f %11.2f ms %9.2f%% %s\n", m.name, totalMs, floorMs,
                    (totalMs - floorMs) / Slots, 100.0 * (totalMs - floorMs) / floorMs,
                    allPassed ? "all passed" : "FAILED:");
        if (!allPassed)
            std::printf("%s\n", qPrintable(bench.log().mid(logBefore)));
    }
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool fakeView = args.contains(QStringLiteral("--fake-view"));
    const qsizetype promptAt = args.indexOf(QStringLiteral("--prompt"));
    const QString prompt = promptAt > 0 ? args.value(promptAt + 1) : QStringLiteral(">");
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
    RecordedBoxes boxes;

    int failures = 0;
    if (fakeView) {
        FakeOperationView view;
        BenchView bench{view, [](const Measured &) {},
                        [&view](const Measured &m, int slot) {
                            view.ticked[{m.pane, slot}] = true;
                        },
                        [&view] { return view.log; }, boxes};
        view.onBox = [&boxes](const FakeOperationView::Box &box) {
            boxes.showMessageBox(box.text, box.title, box.icon);
        };
        std::printf("Eight simulated units on loopback, prompt '%s', view: FakeOperationView\n",
                    qPrintable(prompt));
        failures = measure(bench, sim, console, unitDelayMs(prompt));
    } else {
        frmPelmora2 window(store);
        window.setMessageBoxes(&boxes);
        window.show();
        BenchView bench{window,
                        [&window](const Measured &m) {
                            window.findChild<QAction *>(QString::fromLatin1(m.menuItem))->trigger();
                        },
                        [&window](const Measured &m, int slot) {
                            auto *box = window.findChild<QCheckBox *>(
                                QStringLiteral("%1[%2]").arg(m.tickName).arg(slot));
                            if (!box->isChecked())
                                box->click();
                        },
                        [&window] { return window.logText(); }, boxes};
        std::printf(
            "Eight simulated units on loopback, prompt '%s', view: the main window frmPelmora2 (%s)\n",
            qPrintable(prompt), qPrintable(QGuiApplication::platformName()));
        failures = measure(bench, sim, console, unitDelayMs(prompt));
    }
    std::printf("Floor per slot: %d ms attach pause + the operation's pause + %d ms the unit's own delay.\n",
                AttachPauseMs, unitDelayMs(prompt));
    return failures == 0 ? 0 : 1;
}
