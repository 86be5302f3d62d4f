// pelmora2-batch on a commissioning day: a plan run again after its port changes went through, and
// runs cut off by SIGTERM, where report, log and summary must tell the same story.
#include "BatchProgress.h"
#include "BatchRig.h"
#include "SimUnits.h"

#include <QTest>

#include <csignal>

namespace
{

const QString Gateway = "10.1.2.254", Mask = "255.255.255.0";

// Two free ports that differ from each other.
QStringList twoFreePorts()
{
    QStringList ports{SimUnits::freeShortPortText()};
    while (ports.size() < 2)
        if (const QString port = SimUnits::freeShortPortText(); port != ports.first())
            ports << port;
    return ports;
}

// Until the simulator has said nothing for ms.
void drainEvents(SimUnits &sim, int ms)
{
    while (!sim.waitForEvent({}, ms).isEmpty()) {
    }
}

} // namespace

class BatchRunTest : public QObject
{
    Q_OBJECT

private slots:
    void planRunTwice();
    void interruptedStep_data();
    void interruptedStep();
    void liveLineFitsTerminal_data();
    void liveLineFitsTerminal();
};

// The second run of a plan whose units moved to new_port in the first: nothing fails, the port changes
// count as done, and the settings reach the units on their new ports.
void BatchRunTest::planRunTwice()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0", "0"}), qPrintable(sim.error()));
    const QStringList moved = twoFreePorts();
    BatchRig rig;
    const QString plan =
        rig.writePlan(QString("unit,ip,port,gateway,mask,new_port\n"
                              "a,127.0.0.1,%1,,,%2\n"
                              "b,127.0.0.1,%3,%4,%5,%6\n")
                          .arg(sim.portText(0), moved[0], sim.portText(1), Gateway, Mask, moved[1]));
    QCOMPARE(rig.run({plan}), 0);
    drainEvents(sim, 300);
    const QByteArray firstRun[2] = {sim.received(0), sim.received(1)};

    QCOMPARE(rig.run({plan}), 0);
    QCOMPARE(rig.report(), QStringList({"a new_port pass already listening on " + moved[0],
                                        "a check pass Communication Check is finished.",
                                        "b gateway pass GateWay Address setting is finished.",
                                        "b mask pass Subnet Mask setting is finished.",
                                        "b new_port pass already listening on " + moved[1],
                                        "b check pass Communication Check is finished."}));
    QVERIFY2(rig.out.contains("Units: 2 passed, 0 failed, 0 skipped, 2 in all"), rig.out.constData());
    drainEvents(sim, 300);
    const QByteArray again[2] = {sim.received(0).mid(firstRun[0].size()),
                                 sim.received(1).mid(firstRun[1].size())};
    QVERIFY2(!again[0].contains("UE2") && !again[1].contains("UE2"), again[1].constData());
    QVERIFY2(again[1].contains("UE3") && again[1].contains("UE4"), again[1].constData());
}

void BatchRunTest::interruptedStep_data()
{
    QTest::addColumn<QString>("columns");    // the plan's gateway,mask,new_port; %1 the moved port
    QTest::addColumn<QStringList>("rows");   // the report's rows; %1 the moved port
    QTest::addColumn<QString>("logVerdict"); // the last line of the unit's log
    QTest::newRow("gateway") << QString(Gateway + "," + Mask + ",")
                             << QStringList{"u gateway interrupted interrupted",
                                            "u mask skipped skipped: interrupted",
                                            "u check skipped skipped: interrupted"}
                             << "        // interrupted";
    // The unit took UE2 and moves once the connection closes: the step says where it now listens.
    QTest::newRow("new_port") << ",,%1"
                              << QStringList{"u new_port interrupted interrupted; listening on %1",
                                             "u check skipped skipped: interrupted"}
                              << "        // interrupted; listening on %1";
}

// SIGTERM while a unit waits out the pause after its command: exit 130, the step interrupted in the
// report and in the log (no "Pass" for it), the summary counting an interrupted unit and no failure.
void BatchRunTest::interruptedStep()
{
    QFETCH(QString, columns);
    QFETCH(QStringList, rows);
    QFETCH(QString, logVerdict);
    SimUnits sim;
    QVERIFY2(sim.start({"0"}), qPrintable(sim.error()));
    const QString moved = twoFreePorts().first();
    BatchRig rig;
    rig.start({rig.writePlan(QString("unit,ip,port,gateway,mask,new_port\nu,127.0.0.1,%1,%2\n")
                                 .arg(sim.portText(0), columns.replace("%1", moved)))});
    QVERIFY(!sim.waitForEvent("command 0").isEmpty());
    QTest::qWait(300); // in the pause that follows an accepted command
    ::kill(pid_t(rig.program.processId()), SIGTERM);
    QCOMPARE(rig.finish(5000), 130);

    rows.replaceInStrings("%1", moved);
    QCOMPARE(rig.report(), rows);
    const QString log = rig.read("log.txt");
    QVERIFY2(log.endsWith("\r\n" + logVerdict.replace("%1", moved) + "\r\n\r\n") && !log.contains("// Pass"),
             qPrintable(log));
    QVERIFY2(rig.out.startsWith("Units: 0 passed, 0 failed, 1 interrupted, 0 skipped, 1 in all"),
             rig.out.constData());
}

void BatchRunTest::liveLineFitsTerminal_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("text"); // before the padding up to the last column but one
    const QString full = "3/10 steps, 1 failed, about 14 s left, 6 s so far, 1/4 units done";
    QTest::newRow("wide") << 200 << full;
    QTest::newRow("unknown width") << 0 << full;
    QTest::newRow("narrow") << 40 << "3/10 steps, 1 failed, about 14 s left";
    QTest::newRow("tiny") << 5 << "3/10";
}

// The live line is rewritten in place: it must never reach the terminal's last column, or it scrolls.
void BatchRunTest::liveLineFitsTerminal()
{
    QFETCH(int, columns);
    QFETCH(QString, text);
    const QString line = BatchProgress::liveLineText(3, 10, 1, 4, 1, 6000, columns);
    QCOMPARE(line.size(), (columns > 0 ? columns : 80) - 1);
    QCOMPARE(line.trimmed(), text);
}

QTEST_MAIN(BatchRunTest)
#include "BatchRunTest.moc"
