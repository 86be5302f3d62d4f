// pelmora2-batch on a commissioning day: a plan run with faults, run again for what failed and run again
// whole; and runs cut off by a signal, where report, log and summary must tell the same story.
#include "BatchRig.h"

#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace
{

const QString Gateway = "10.1.2.1", Mask = "255.255.255.0"; // no "4": a unit deaf to it passes the gateway

} // namespace

class BatchRunTest : public QObject
{
    Q_OBJECT

private slots:
    void aPlanRunThreeTimes();
    void interrupted_data();
    void interrupted();
};

// A plan as Japanese Excel saves it (CP932, a note column, empty fields at the row ends) runs with faults,
// its summary in UTF-8 with a byte-order mark; --rerun of its report contacts only the failed units, each
// from the step that did not pass, and their summary still shows what the first run did; the whole plan run
// once more counts the port changes of the first run as done and brings the settings to the units on their
// new ports (only reachable there).
void BatchRunTest::aPlanRunThreeTimes()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0", "0", "0:no-echo=4", "0:refuse"}), qPrintable(sim.error()));
    QStringList moved{SimUnits::freeShortPortText(), SimUnits::freeShortPortText()};
    while (moved[1] == moved[0]) // two different ones
        moved[1] = SimUnits::freeShortPortText();
    const QString label = "第1ラック-01";
    QByteArray plan = "unit,ip,port,gateway,mask,new_port,note,,\r\n\x91\xe6"
                      "1\x83\x89\x83"
                      "b\x83N-01,127.0.0.1," +
                      (sim.portText(0) + ",,," + moved[0]).toLatin1() + ",\x97\\\x94\xf5,,\r\n";
    for (int i = 1; i < 4; ++i)
        plan += QString("u%1,127.0.0.1,%2,%3,%4,%5,,,\r\n")
                    .arg(i + 1)
                    .arg(sim.portText(i), Gateway, Mask, i == 1 ? moved[1] : "")
                    .toLatin1();
    BatchRig rig;
    QVERIFY(writeBytes(rig.path("plan.csv"), plan));
    QCOMPARE(rig.run({rig.path("plan.csv"), "--summary", rig.path("summary.csv")}), 1);
    QVERIFY2(rig.out.startsWith("The plan is not UTF-8; it was read as CP932"), rig.out.constData());
    const QByteArray summary =
        "\xEF\xBB\xBF" + QString("unit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                                 "%1,127.0.0.1,%2,,,pass,,,予備\r\n"
                                 "u2,127.0.0.1,%3,%4,%5,pass,,,\r\n"
                                 "u3,127.0.0.1,%6,%4,,error,mask,Time Out Error!,\r\n"
                                 "u4,127.0.0.1,%7,,,error,gateway,Connection Error!,\r\n")
                             .arg(label, moved[0], moved[1], Gateway, Mask, sim.portText(2), sim.portText(3))
                             .toUtf8();
    QCOMPARE(fileBytes(rig.path("summary.csv")), summary);
    QVERIFY(QFile::copy(rig.path("report.csv"), rig.path("first.csv")));
    simEventLines(sim, 300);
    const QByteArray before[] = {sim.received(0), sim.received(1), sim.received(2)};

    QCOMPARE(rig.run({rig.path("plan.csv"), "--rerun", rig.path("first.csv"), "--summary",
                      rig.path("summary.csv")}),
             1);
    const QString AfterFailure = " skipped skipped: earlier step failed";
    QCOMPARE(rig.report(), (QStringList{"u3 mask error Time Out Error!", "u3 check" + AfterFailure,
                                        "u4 gateway error Connection Error!", "u4 mask" + AfterFailure,
                                        "u4 check" + AfterFailure}));
    simEventLines(sim, 300);
    QCOMPARE(sim.received(0) + sim.received(1), before[0] + before[1]);
    const QByteArray again = sim.received(2).mid(before[2].size());
    QVERIFY2(again.contains("UE4") && !again.contains("UE3"), again.constData()); // the gateway was set
    // The units it ran, u3 with the gateway the first run gave it.
    const QList<QByteArray> rows = summary.split('\n');
    QCOMPARE(fileBytes(rig.path("summary.csv")), rows[0] + '\n' + rows[3] + '\n' + rows[4] + '\n');

    QCOMPARE(rig.run({rig.path("plan.csv")}), 1);
    QCOMPARE(rig.report().mid(0, 6), QStringList({label + " new_port pass already listening on " + moved[0],
                                                  label + " check pass Communication Check is finished.",
                                                  "u2 gateway pass GateWay Address setting is finished.",
                                                  "u2 mask pass Subnet Mask setting is finished.",
                                                  "u2 new_port pass already listening on " + moved[1],
                                                  "u2 check pass Communication Check is finished."}));
    QVERIFY2(rig.out.contains("Units: 2 passed, 2 failed, 0 skipped, 4 in all"), rig.out.constData());
}

void BatchRunTest::interrupted_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QStringList>("units");  // qv512-sim's unit arguments
    QTest::addColumn<QString>("values");     // every unit's gateway,mask,new_port; %1 a free port
    QTest::addColumn<QString>("cutAfter");   // the event after which the run is cut off, in the pause
    QTest::addColumn<QStringList>("rows");   // the report's rows; %1 the free port
    QTest::addColumn<QString>("counts");     // the summary's counts
    QTest::addColumn<QString>("logVerdict"); // the last line of the last unit's log; %1 the free port
    const QString interrupted = " skipped skipped: interrupted", both = "," + Gateway + "," + Mask + ",";
    QStringList rows;
    for (int i = 1; i <= 5; ++i)
        rows << QString("u%1 gateway ").arg(i) + (i < 5 ? "interrupted interrupted" : interrupted.mid(1))
             << QString("u%1 mask").arg(i) + interrupted << QString("u%1 check").arg(i) + interrupted;
    // Ctrl+C while units attach, wait out their pause, wait on a refused connection or wait their turn.
    QTest::newRow("five units, SIGINT")
        << SIGINT << QStringList{"0", "0", "0:refuse", "0:silent", "0"} << both << "command 1" << rows
        << "0 passed, 0 failed, 4 interrupted, 1 skipped, 5"
        << "        // interrupted";
    // The unit took UE2 and moves once the connection closes: the step says where it now listens.
    QTest::newRow("new_port, SIGTERM")
        << SIGTERM << QStringList{"0"} << ",,,%1"
        << "command 0"
        << QStringList{"u1 new_port interrupted interrupted; listening on %1", "u1 check" + interrupted}
        << "0 passed, 0 failed, 1 interrupted, 0 skipped, 1"
        << "        // interrupted; listening on %1";
}

// Cut off while a unit waits out the pause after its command: exit status 130 at once (well within the
// silent unit's 5 s), a row for every step, the rest skipped, no "Pass" in the log, every connection
// closed, and the summary counting interrupted units and no failure.
void BatchRunTest::interrupted()
{
    QFETCH(int, signal);
    QFETCH(QStringList, units);
    QFETCH(QString, values);
    QFETCH(QString, cutAfter);
    QFETCH(QStringList, rows);
    QFETCH(QString, counts);
    QFETCH(QString, logVerdict);
    SimUnits sim;
    QVERIFY2(sim.start(units), qPrintable(sim.error()));
    const QString moved = SimUnits::freeShortPortText();
    BatchRig rig(5000);
    QString plan = "unit,ip,port,gateway,mask,new_port\n";
    for (int i = 0; i < units.size(); ++i)
        plan += QString("u%1,127.0.0.1,%2%3\n").arg(i + 1).arg(sim.portText(i), values.replace("%1", moved));
    rig.start({rig.writePlan(plan), "--jobs", "4"});
    QStringList events = simEventLines(sim, 5000, cutAfter);
    QTest::qWait(300); // in the pause that follows an accepted command
    ::kill(pid_t(rig.program.processId()), signal);
    QCOMPARE(rig.finish(3000), 130);

    QCOMPARE(rig.report(), rows.replaceInStrings("%1", moved));
    const QString log = rig.read("log.txt");
    QVERIFY2(log.endsWith("\r\n" + QString(logVerdict).replace("%1", moved) + "\r\n\r\n") &&
                 !log.contains("// Pass"),
             qPrintable(log));
    QVERIFY2(rig.out.startsWith("Units: " + counts.toUtf8() + " in all"), rig.out.constData());
    events += simEventLines(sim, 500);
    QCOMPARE(events.filter(QRegularExpression("^closed ")).size(),
             events.filter(QRegularExpression("^connected ")).size());
}

QTEST_MAIN(BatchRunTest)
#include "BatchRunTest.moc"
