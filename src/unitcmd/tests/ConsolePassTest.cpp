// Passing slots against the unit simulator: the bytes each unit receives, the log blocks, the fields
// and slot table afterwards, and the completion box.
#include "ConsoleRig.h"
#include "SimUnits.h"

#include <QElapsedTimer>
#include <QTest>

namespace
{

const QByteArray Esc("\x1b");
// The attach's control commands for the default prompt ">": 127, 126, 124, 125.
const QByteArray ControlCommands("\x7f\x7e\x7c\x7d");

} // namespace

class ConsolePassTest : public QObject
{
    Q_OBJECT

private:
    // Waits until the simulator has seen the unit's connection closed, so its record is complete.
    static void waitForClose(SimUnits &sim, int unit)
    {
        QVERIFY(!sim.waitForEvent(QStringLiteral("closed %1").arg(unit)).isEmpty());
    }

private slots:
    void comCheckPassesAndStoresPaddedPort()
    {
        const QString port = SimUnits::freeShortPortText();
        SimUnits sim;
        QVERIFY2(sim.start({port}), qPrintable(sim.error()));
        FakeOperationView view;
        ConsoleRig rig(view);
        fillRow(view, ConsoleOp::ComCheck, 2, QStringLiteral("127.0.0.1"), port);

        QElapsedTimer elapsed;
        elapsed.start();
        rig.ops.runSlotButton(ConsoleOp::ComCheck, 2);

        QCOMPARE(view.log, QStringLiteral("<SLOT 2 : Communication Check >\r\n"
                                          "        IP : 127.0.0.1   Port : %1\r\n"
                                          "        // Pass  \r\n\r\n")
                               .arg(port));
        const QString padded = QLatin1Char('0') + port;
        QCOMPARE(view.fields.value({Field::Port_ComCheck, 2}), padded);
        QCOMPARE(view.slotIP.value(2), QStringLiteral("127.0.0.1"));
        QCOMPARE(view.slotPort.value(2), padded);
        QCOMPARE(view.boxes, (QList<FakeOperationView::Box>{
                                 {QStringLiteral("Communication Check is finished."),
                                  QStringLiteral("Communication Check"), BoxIcon::Information}}));
        // The box comes after the pane is unlocked, while the run still counts as busy.
        QCOMPARE(view.events, (QStringList{"busy", "hourglass", "lock pane 4", "unlock pane 4", "pointer",
                                           "box Communication Check is finished.", "idle"}));
        QVERIFY(elapsed.elapsed() >= 1100); // one attach attempt and the pause after the command
        QCOMPARE(rig.console.Winsock1.state(), QAbstractSocket::UnconnectedState);
        waitForClose(sim, 0);
        QCOMPARE(sim.received(0), Esc + ControlCommands + QByteArray("UE1\rU\r"));
    }

    void portChangeSendsPaddedNewPortAndKeepsOldPort()
    {
        const QString port = SimUnits::freeShortPortText();
        SimUnits sim;
        QVERIFY2(sim.start({port + QStringLiteral(":prompt=#")}), qPrintable(sim.error()));
        FakeOperationView view;
        ConsoleRig rig(view);
        fillRow(view, ConsoleOp::SetPort, 0, QStringLiteral("127.0.0.1"), port, QStringLiteral("a2b"));

        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(rig.ops.SetPortSlot(0));

        QVERIFY(elapsed.elapsed() >= 3100);
        QCOMPARE(view.log, QStringLiteral("<SLOT 0 : Set Port >\r\n"
                                          "        IP : 127.0.0.1   Port : %1   New Port : a2b\r\n"
                                          "        // Pass  \r\n\r\n")
                               .arg(port));
        const QString padded = QLatin1Char('0') + port;
        QCOMPARE(view.fields.value({Field::Port_Port, 0}), padded);
        QCOMPARE(view.fields.value({Field::NewPort, 0}), QStringLiteral("0a2b"));
        QCOMPARE(view.slotIP.value(0), QStringLiteral("127.0.0.1"));
        QCOMPARE(view.slotPort.value(0), padded);
        QVERIFY(view.boxes.isEmpty()); // the procedure alone shows no completion box
        waitForClose(sim, 0);
        // Digits go out as typed, lower case included.
        QCOMPARE(sim.received(0), Esc + QByteArray("UE2 0a2b\rU\r"));
    }

    void addressCommandsCarryTwelveDigitForm_data()
    {
        QTest::addColumn<ConsoleOp>("op");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QList<QByteArray>>("commands");
        QTest::addColumn<QString>("completion");
        QTest::addColumn<QString>("title");

        QTest::newRow("gateway") << ConsoleOp::SetGW << QStringLiteral("Set GateWay Addr")
                                 << QStringLiteral("GateWay Addr") << QStringList{"10.0.0.254", ".1.2.3"}
                                 << QList<QByteArray>{"UE3010/000/000/254\rU\r", "UE3000/001/002/003\rU\r"}
                                 << QStringLiteral("GateWay Address setting is finished.")
                                 << QStringLiteral("Set GW Addr");
        QTest::newRow("mask") << ConsoleOp::SetSubnet << QStringLiteral("Set Subnet Mask")
                              << QStringLiteral("Subnet Mask") << QStringList{"255.255.0.0", "0.0.0.0"}
                              << QList<QByteArray>{"UE4255/255/000/000\rU\r", "UE4000/000/000/000\rU\r"}
                              << QStringLiteral("Subnet Mask setting is finished.")
                              << QStringLiteral("Subnet Mask");
    }

    // Slots 1 and 4 ticked, slot 3 filled in but not ticked: only the ticked units hear anything.
    void addressCommandsCarryTwelveDigitForm()
    {
        QFETCH(ConsoleOp, op);
        QFETCH(QString, header);
        QFETCH(QString, label);
        QFETCH(QStringList, addresses);
        QFETCH(QList<QByteArray>, commands);
        QFETCH(QString, completion);
        QFETCH(QString, title);

        SimUnits sim;
        QVERIFY2(sim.start({"0:prompt=#", "0:prompt=#", "0:prompt=#"}), qPrintable(sim.error()));
        FakeOperationView view;
        ConsoleRig rig(view);
        const int slotOfUnit[] = {1, 4, 3};
        for (int unit = 0; unit < 3; ++unit)
            fillRow(view, op, slotOfUnit[unit], QStringLiteral("127.0.0.1"), sim.portText(unit),
                    addresses.value(unit, QStringLiteral("1.2.3.4")));
        tick(view, op, 1);
        tick(view, op, 4);

        rig.ops.runAllTicked(op);

        QString expectedLog;
        for (int unit = 0; unit < 2; ++unit)
            expectedLog += QStringLiteral("<SLOT %1 : %2 >\r\n"
                                          "        IP : 127.0.0.1   Port : %3   %4 : %5\r\n"
                                          "        // Pass  \r\n\r\n")
                               .arg(slotOfUnit[unit])
                               .arg(header, sim.portText(unit), label, addresses[unit]);
        QCOMPARE(view.log, expectedLog);
        QCOMPARE(view.boxes, (QList<FakeOperationView::Box>{{completion, title, BoxIcon::Information}}));
        QCOMPARE(view.fields.value({paneRow(op).further.value(), 4}), addresses[1]); // kept as typed
        QCOMPARE(view.slotIP.keys(), (QList<int>{1, 4}));
        for (int unit = 0; unit < 2; ++unit) {
            waitForClose(sim, unit);
            QCOMPARE(sim.received(unit), Esc + commands[unit]);
        }
        QVERIFY(sim.received(2).isEmpty());
    }
};

QTEST_GUILESS_MAIN(ConsolePassTest)
#include "ConsolePassTest.moc"
