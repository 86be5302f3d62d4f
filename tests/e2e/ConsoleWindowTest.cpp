// The console operations end to end: clicks on the real window, wired as main() wires it, reach qv512-sim
// units over loopback; the tests read the bytes each unit received, the log, the boxes and the saved store.
#include "ConsoleOpNames.h"
#include "SimUnits.h"
#include "TestSettings.h"
#include "WindowRig.h"

#include <QFile>
#include <QSettings>
#include <QTest>

namespace
{
// One row's button on the unit's address and port: the unit's options, the further field as typed ("+":
// another free port), the error (none: the operation passes) and the bytes the unit receives.
struct RowCase {
    ConsoleOp op{};
    QString unit, further, error;
    QByteArray bytes;
};
} // namespace

Q_DECLARE_METATYPE(RowCase)

class ConsoleWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void rowOperation_data();
    void rowOperation();
};

void ConsoleWindowTest::rowOperation_data()
{
    QTest::addColumn<RowCase>("c");
    const auto row = [](const char *name, const RowCase &c) { QTest::newRow(name) << c; };
    using enum ConsoleOp;
    // The default prompt ">" selects 127, 126, 124, 125; prompt "1" 127, 126, 125; prompt "." only 127.
    row("check", {ComCheck, "", "", "", "\x1b\x7f\x7e\x7c\x7dUE1\rU\r"});
    row("port change", {SetPort, ":prompt=>", "+", "", "\x1b\x7f\x7e\x7c\x7dUE2 0+\rU\r"});
    row("gateway .1.2.3", {SetGW, ":prompt=1", ".1.2.3", "", "\x1b\x7f\x7e\x7dUE3000/001/002/003\rU\r"});
    row("mask 0.0.0.0", {SetSubnet, ":prompt=.", "0.0.0.0", "", "\x1b\x7fUE4000/000/000/000\rU\r"});
    // The failure texts are the console's and the operations' tests; here one that ends in a box.
    row("silent unit", {ComCheck, ":silent", "", "Can not Connected", "\x1b\x1b"});
}

// A passing row keeps the port it used in the slot table and the store saved on close, a failing one nothing.
// The console limits are 300 ms and two ESC attempts, so that the silent unit fails quickly.
void ConsoleWindowTest::rowOperation()
{
    QFETCH(RowCase, c);
    WindowRig r;
    setConsoleLimits(r.store);
    SimUnits sim;
    QVERIFY2(sim.start({SimUnits::freeShortPortText() + c.unit}), qPrintable(sim.error()));
    const QString unitPort = sim.portText(0), otherPort = SimUnits::freeShortPortText();
    c.further.replace("+", otherPort);
    c.bytes.replace("+", otherPort.toLatin1());
    r.open();
    const ConsoleOpNames &names = namesOf(c.op);
    r.menu(names.menu);
    r.type(names.ipName, 5, "127.0.0.1");
    r.type(names.portName, 5, unitPort.toLower()); // the port fields take a-f as A-F
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
    const QString keptPort = passed ? ("000" + unitPort).right(4) : "";
    QCOMPARE(r.window.logText(), consoleLogBlock(c.op, 5, "127.0.0.1", unitPort, c.further, c.error));
    QCOMPARE(r.boxes.shown.join('\n'),
             passed ? "Information " + names.completionTitle + ": " + names.completionText
                    : "Critical " + names.errorTitle + ": SLOT 5 : " + c.error);
    QCOMPARE(r.window.Slots().SlotPort[5], keptPort);
    QVERIFY(r.window.close());
    QCOMPARE(QSettings(r.store.iniPath("QV512"), QSettings::IniFormat).value("PortNo/SLOT5").toString(),
             keptPort);
    QVERIFY(!sim.waitForEvent("closed 0", 5000).isEmpty());
    QCOMPARE(sim.received(0), c.bytes);
    if (c.op == ConsoleOp::SetPort && passed)
        QCOMPARE(sim.waitForEvent("moved 0").section(' ', 2).toInt(nullptr, 16),
                 otherPort.toInt(nullptr, 16));
}

QTEST_MAIN(ConsoleWindowTest)
#include "ConsoleWindowTest.moc"
