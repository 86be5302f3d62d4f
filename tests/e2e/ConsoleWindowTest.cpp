// The console operations end to end: clicks on the real window, wired as main() wires it, reach qv512-sim
// units over loopback; the tests read the bytes each unit received, the log, the boxes and the saved store.
#include "ConsoleOpNames.h"
#include "SimUnits.h"
#include "TestSettings.h"
#include "WindowRig.h"

#include <QFile>
#include <QTest>

namespace
{
const QString Loopback = "127.0.0.1";
const QString Unknown = "999:Unspported Command.";

// The program with the console limits at 300 ms and two ESC attempts so that a silent unit or a missing
// echo fails quickly; beside it the simulated units.
struct Rig : WindowRig {
    Rig() { setConsoleLimits(store); }
    bool closed(int u) { return !sim.waitForEvent(QString("closed %1").arg(u), 5000).isEmpty(); }
    static QString padded(const QString &port) { return ("000" + port).right(4); }
    static QString errorBox(ConsoleOp op, int slot, const QString &error)
    {
        return QString("Critical %1: SLOT %2 : %3").arg(namesOf(op).errorTitle).arg(slot).arg(error);
    }
    static QString completionBox(ConsoleOp op)
    {
        return "Information " + namesOf(op).completionTitle + ": " + namesOf(op).completionText;
    }

    SimUnits sim;
};

// Ticks and options of the units at slots 1, 3 and 6 in that order, and the boxes the run shows.
struct AllCase {
    QList<bool> ticked;
    QStringList options; // only the unsupported unit fails
    QStringList boxes;
};
const QString Bad = ":unsupported";

// One row's button: the unit's options, the fields as typed ("*": the unit's port, "+": another free port),
// the error (none: the operation passes) and the bytes the unit receives.
struct RowCase {
    ConsoleOp op;
    QString unit, ip, port, further, error;
    QByteArray bytes;
};
} // namespace

Q_DECLARE_METATYPE(AllCase)
Q_DECLARE_METATYPE(RowCase)

class ConsoleWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void comCheckAll_data();
    void comCheckAll();
    void rowOperation_data();
    void rowOperation();
};

void ConsoleWindowTest::comCheckAll_data()
{
    QTest::addColumn<AllCase>("c");
    const auto row = [](const char *name, const AllCase &c) { QTest::newRow(name) << c; };
    // Which boxes a run of ticks shows is the operations' test; here the window's ticks and boxes (a
    // passing row's completion box is the row operations').
    row("no tick: nothing", {{false, false}, {"", ""}, {}});
    row("unticked skipped, last fails: no completion box",
        {{true, false, true}, {"", "", Bad}, {Rig::errorBox(ConsoleOp::ComCheck, 6, Unknown)}});
}

// Unit 0 has a three-digit port, which the store keeps padded once a check used it.
void ConsoleWindowTest::comCheckAll()
{
    QFETCH(AllCase, c);
    Rig r;
    QStringList units;
    for (const QString &options : c.options)
        units << (units.isEmpty() ? SimUnits::freeShortPortText() : "0") + options;
    QVERIFY2(r.sim.start(units), qPrintable(r.sim.error()));
    const int slotOf[] = {1, 3, 6};
    QString log;
    for (qsizetype i = 0; i < units.size(); ++i) {
        seedSlot(r.store, slotOf[i],
                 {{"IPAddress", Loopback}, {"PortNo", r.sim.portText(i)}, {"Slot", c.ticked[i] ? "1" : "0"}});
        if (c.ticked[i])
            log += consoleLogBlock(ConsoleOp::ComCheck, slotOf[i], Loopback, r.sim.portText(i), {},
                                   c.options[i] == Bad ? Unknown : "");
    }
    r.open();
    r.menu("mnuComCheck");
    r.click("cmdAllComCheck");

    QCOMPARE(r.window.logText(), log);
    QCOMPARE(r.boxes.shown, c.boxes);
    QVERIFY(r.window.close());
    for (qsizetype i = 0; i < units.size(); ++i) {
        QCOMPARE(savedSlot(r.store, "Slot", slotOf[i]), c.ticked[i] ? "1" : "0");
        if (c.options[i] == Bad)
            continue;
        QVERIFY(!c.ticked[i] || r.closed(i));
        QCOMPARE(r.sim.received(i), c.ticked[i] ? QByteArray("\x1b\x7f\x7e\x7c\x7dUE1\rU\r") : QByteArray());
        if (c.ticked[i])
            QCOMPARE(savedSlot(r.store, "PortNo", slotOf[i]), Rig::padded(r.sim.portText(i)));
    }
}

void ConsoleWindowTest::rowOperation_data()
{
    QTest::addColumn<RowCase>("c");
    const auto row = [](const char *name, const RowCase &c) { QTest::newRow(name) << c; };
    const auto gw = ConsoleOp::SetGW, mask = ConsoleOp::SetSubnet, port = ConsoleOp::SetPort;
    const QString ip = Loopback;
    // The default prompt ">" selects 127, 126, 124, 125; prompt "1" 127, 126, 125; prompt "." only 127.
    row("port change", {port, ":prompt=>", ip, "*", "+", "", "\x1b\x7f\x7e\x7c\x7dUE2 0+\rU\r"});
    row("gateway .1.2.3",
        {gw, ":prompt=1", ip, "*", ".1.2.3", "", "\x1b\x7f\x7e\x7dUE3000/001/002/003\rU\r"});
    row("mask 0.0.0.0", {mask, ":prompt=.", ip, "*", "0.0.0.0", "", "\x1b\x7fUE4000/000/000/000\rU\r"});
    // The failure texts are the console's and the operations' tests; here one that ends in a box.
    row("silent unit", {ConsoleOp::ComCheck, ":silent", ip, "*", "", "Can not Connected", "\x1b\x1b"});
}

// A passing row keeps the port it used in the slot table and the store saved on close, a failing one nothing.
void ConsoleWindowTest::rowOperation()
{
    QFETCH(RowCase, c);
    Rig r;
    QVERIFY2(r.sim.start({SimUnits::freeShortPortText() + c.unit}), qPrintable(r.sim.error()));
    const QString unitPort = r.sim.portText(0), otherPort = SimUnits::freeShortPortText();
    c.port.replace("*", unitPort);
    c.further.replace("*", unitPort).replace("+", otherPort);
    c.bytes.replace("+", otherPort.toLatin1());
    r.open();
    const ConsoleOpNames &names = namesOf(c.op);
    r.menu(names.menu);
    r.type(names.ipName, 5, c.ip);
    r.type(names.portName, 5, c.port.toLower()); // the port fields take a-f as A-F
    if (names.furtherName)
        r.type(names.furtherName, 5, c.further.toLower());
    bool refused = false; // a close while the attach waits is refused and saves nothing
    if (c.unit == ":silent")
        QTimer::singleShot(200, &r.window, [&] {
            refused = r.window.OperationBusy() && !r.window.close() && r.window.isVisible() &&
                      !QFile::exists(r.store.iniPath("QV512"));
        });
    r.click(names.rowButton, 5);

    QCOMPARE(refused, c.unit == ":silent");
    const bool passed = c.error.isEmpty();
    QCOMPARE(r.window.logText(), consoleLogBlock(c.op, 5, c.ip, c.port, c.further, c.error));
    QCOMPARE(r.boxes.shown, QStringList{passed ? Rig::completionBox(c.op) : Rig::errorBox(c.op, 5, c.error)});
    QCOMPARE(r.window.Slots().SlotPort[5], passed ? Rig::padded(c.port) : "");
    QVERIFY(r.window.close());
    QCOMPARE(savedSlot(r.store, "PortNo", 5), passed ? Rig::padded(c.port) : "");
    QVERIFY(r.closed(0));
    QCOMPARE(r.sim.received(0), c.bytes);
    if (c.op == ConsoleOp::SetPort && passed)
        QCOMPARE(r.sim.waitForEvent("moved 0").section(' ', 2).toInt(nullptr, 16),
                 otherPort.toInt(nullptr, 16));
}

QTEST_MAIN(ConsoleWindowTest)
#include "ConsoleWindowTest.moc"
