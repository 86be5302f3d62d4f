// pelmora2-batch end to end: the real program as a child process against qv512-sim units on loopback.
// The tests read the report, the log, the exit status and the bytes every unit received, and compare
// those bytes with what the window's own operations send for the same step.
#include "BatchRig.h"
#include "ConsoleOperations.h"
#include "FakeOperationView.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"

#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace
{

const QString Loopback = "127.0.0.1", Gateway = "10.1.2.254", Mask = "255.255.255.0";

// The event lines qv512-sim prints, up to the first that starts with last or until ms pass in silence.
QStringList simEvents(SimUnits &sim, int ms, const QString &last = "\n")
{
    QStringList events;
    for (QString line; !(line = sim.waitForEvent({}, ms)).isEmpty() && !line.startsWith(last);)
        events << line;
    return events;
}

// What the window's own console operation sends to a unit with the default prompt, recorded by running
// it in process on slot 0 against a unit of its own.
struct WindowReference {
    QByteArray bytes[4]; // by ConsoleOp
    QString portText;    // the reference unit's port, as the port change named it

    bool record()
    {
        if (!sim.start({"0"}))
            return false;
        QTemporaryDir storeDir;
        SettingsStore store(storeDir.path());
        RemoteConsole console(store);
        FakeOperationView view;
        ConsoleOperations operations(view, console);
        portText = sim.portText(0);
        const Field fields[4][3] = {{Field::IPAddr_ComCheck, Field::Port_ComCheck, Field::Port_ComCheck},
                                    {Field::IPAddr_Port, Field::Port_Port, Field::NewPort},
                                    {Field::IPAddr_GW, Field::Port_GW, Field::GateWay},
                                    {Field::IPAddr_Sub, Field::Port_Sub, Field::SubnetMask}};
        const QString further[4] = {portText, portText, Gateway, Mask}; // the port change keeps the port
        qsizetype before = 0;
        for (int op = 0; op < 4; ++op) {
            view.setFieldText(fields[op][0], 0, Loopback);
            view.setFieldText(fields[op][1], 0, portText);
            view.setFieldText(fields[op][2], 0, further[op]);
            operations.runSlotButton(ConsoleOp(op), 0);
            if (view.boxes.last().icon != BoxIcon::Information)
                return false;
            sim.waitForEvent("closed 0");
            const QByteArray all = sim.received(0);
            bytes[op] = all.mid(before);
            before = all.size();
        }
        return true;
    }
    SimUnits sim;
};

// One unit of the mixed run: its simulator options, its plan columns, and the report rows it must give.
struct UnitCase {
    QString options; // appended to the unit's port argument
    QString gateway, mask;
    bool movePort = false; // a port change to a free port, where the check then finds the unit
    QString check = "yes";
    QStringList rows; // "step result text" in step order
};

const QString CheckPassed = "check pass Communication Check is finished.";
const QString GatewayPassed = "gateway pass GateWay Address setting is finished.";
const QString MaskPassed = "mask pass Subnet Mask setting is finished.";
const QString PortPassed = "new_port pass Port setting is finished.";
const QString AfterFailure = " skipped skipped: earlier step failed";

} // namespace

class BatchProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void mixedUnits();
    void refusedBeforeRunning();
    void interruptedRun();
    void rerunContactsOnlyWhatFailed();
    void excelPlanRoundTrip();
    void lostOutputIsAFailure();
};

// Sixteen units at once, passing and failing: the report's exact texts, the log per unit in plan order,
// exit status 1; every passing unit received the bytes the window sends for its steps.
void BatchProgramTest::mixedUnits()
{
    const QString G = Gateway, M = Mask, Fail = AfterFailure;
    const QList<UnitCase> cases = {
        {"", "", "", false, "yes", {CheckPassed}},
        {"", G, "", false, "yes", {GatewayPassed, CheckPassed}},
        {"", "", M, false, "no", {MaskPassed}},
        {"", "", "", true, "yes", {PortPassed, CheckPassed}},
        {"", G, M, true, "yes", {GatewayPassed, MaskPassed, PortPassed, CheckPassed}},
        {":silent", "", "", false, "yes", {"check error Can not Connected"}},
        {":silent", G, "", false, "yes", {"gateway error Can not Connected", "check" + Fail}},
        {":refuse", "", "", false, "yes", {"check error Communication Check Error!"}},
        {":refuse", "", M, false, "no", {"mask error Connection Error!"}},
        {":error=Bad value", G, M, false, "yes", {"gateway error %Bad value", "mask" + Fail, "check" + Fail}},
        {":unsupported", "", "", false, "yes", {"check error 999:Unspported Command."}},
        {":unsupported", "", "", true, "yes", {"new_port error 999:Unspported Command.", "check" + Fail}},
        {":status-with-echo", "", "", false, "yes", {CheckPassed}},
        {":status-with-echo", G, "", false, "no", {GatewayPassed}},
        {":no-echo=U", "", "", false, "yes", {"check error Time Out Error!"}},
        {"", "", M, false, "yes", {MaskPassed, CheckPassed}},
    };
    // The last unit has a three-digit port, which the window pads; the others four digits.
    QStringList units;
    for (qsizetype i = 0; i < cases.size(); ++i)
        units << (i + 1 == cases.size() ? SimUnits::freeShortPortText() : "0") + cases[i].options;
    SimUnits sim;
    QVERIFY2(sim.start(units), qPrintable(sim.error()));
    QString plan = "Check,unit,PORT,ip,mask,gateway,new_port\n";
    QStringList expected, newPorts;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const UnitCase &c = cases[i];
        newPorts << (c.movePort ? SimUnits::freeShortPortText() : QString());
        plan += QString("%1,u%2,%3,%4,%5,%6,%7\n")
                    .arg(c.check, QString::number(i + 1), sim.portText(int(i)), Loopback, c.mask, c.gateway,
                         newPorts[i]);
        for (const QString &row : c.rows)
            expected << QString("u%1 %2").arg(i + 1).arg(row);
    }
    BatchRig rig;
    rig.start({rig.writePlan(plan), "--jobs", "16"});
    WindowReference window; // meanwhile
    QVERIFY(window.record());
    QCOMPARE(rig.finish(), 1);

    QCOMPARE(rig.report(), expected);
    const qsizetype failed = expected.filter(" error ").size();
    QVERIFY2(rig.out.contains(QString("Units: %1 passed, %2 failed, 0 skipped, 16 in all")
                                  .arg(16 - failed)
                                  .arg(failed)
                                  .toUtf8()),
             rig.out.constData());
    // Without a terminal: one line per finished step.
    QCOMPARE(rig.err.count('\n'), expected.size());
    QVERIFY(rig.err.contains("u15 check: error ("));
    // The log: each unit's blocks together, units in plan order, the window's lines.
    const QString log = rig.read("log.txt");
    QCOMPARE(log.split("\r\n").filter(QRegularExpression("^<SLOT 0 : ")).size(),
             expected.filter(QRegularExpression(" (pass|error) ")).size());
    QStringList groups, planOrder;
    for (const QString &line : log.split("\r\n").filter(QRegularExpression("^==== unit ")))
        groups << line.section(' ', 2, 2);
    for (qsizetype i = 0; i < cases.size(); ++i)
        planOrder << QString("u%1").arg(i + 1);
    QCOMPARE(groups, planOrder);
    // The last unit's two blocks, each with the port as the plan gave it.
    const QString lastUnitLine = "        IP : 127.0.0.1   Port : " + sim.portText(15);
    QVERIFY2(log.endsWith("<SLOT 0 : Set Subnet Mask >\r\n" + lastUnitLine + "   Subnet Mask : " + Mask +
                          "\r\n        // Pass  \r\n\r\n<SLOT 0 : Communication Check >\r\n" + lastUnitLine +
                          "\r\n        // Pass  \r\n\r\n"),
             qPrintable(log.right(300)));
    QVERIFY(log.contains("        // Error!  %Bad value\r\n\r\n"));

    simEvents(sim, 300);
    QCOMPARE(sim.received(5), QByteArray("\x1b\x1b")); // the two ESC attempts of the run's REMOTE settings
    const QStringList stepOf = {"check", "new_port", "gateway", "mask"}; // by ConsoleOp
    for (qsizetype i = 0; i < cases.size(); ++i) {
        QByteArray bytes;
        for (const QString &row : cases[i].rows)
            bytes += window.bytes[stepOf.indexOf(row.section(' ', 0, 0))];
        bytes.replace("UE2 " + window.portText.toLatin1(),
                      "UE2 " + ("000" + newPorts[i]).right(4).toLatin1());
        if (cases[i].rows.filter(" error ").isEmpty())
            QCOMPARE(sim.received(int(i)), bytes);
    }
}

// Nothing is sent or run before the whole plan has been read: every problem with its line and column,
// exit status 2, and no unit sees a connection; the same for command-line mistakes.
void BatchProgramTest::refusedBeforeRunning()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0"}), qPrintable(sim.error()));
    const QString port = sim.portText(0);
    BatchRig rig;
    const QString plan = rig.writePlan(QString("unit,ip,port,mac,colour\n"
                                               "good,127.0.0.1,%1,,\n"
                                               "bad-ip,127.0.0.256,%1,,\n"
                                               "bad-port,127.0.0.2,12G4,,\n"
                                               "bad-mac,127.0.0.3,%1,12-34,\n"
                                               "good,127.0.0.4,%1,,\n"
                                               "same-target,127.0.0.01,%1,,\n")
                                           .arg(port));
    QCOMPARE(rig.run({plan}), 2);
    const QStringList expected = {":1: colour:", ":3: ip:", ":4: port:", ":5: mac:", ":6: unit:", ":7: "};
    const QStringList lines = QString::fromUtf8(rig.err).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(lines[i].startsWith(plan + expected[i]), qPrintable(lines[i]));
    QVERIFY(!QFile::exists(rig.path("report.csv")));

    QFile(plan).resize(0);
    QCOMPARE(rig.run({plan}), 2);
    QVERIFY2(rig.err.startsWith(plan.toUtf8() + ":"), rig.err.constData());
    for (const QStringList &arguments : {QStringList{plan, "--jobs", "257"}, QStringList{"--jobs", "4"},
                                         QStringList{plan, "--bogus"}, QStringList{plan, plan}}) {
        QCOMPARE(rig.run(arguments), 2);
        QVERIFY2(rig.err.contains("Try pelmora2-batch --help."), rig.err.constData());
    }
    QCOMPARE(simEvents(sim, 300).filter("connected"), QStringList());
    QCOMPARE(sim.received(0), QByteArray());
}

// Ctrl+C while units attach, wait out their pause, wait on a refused connection or wait their turn:
// exit status 130 at once, a row for every step, the rest skipped, every connection closed.
void BatchProgramTest::interruptedRun()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0", "0", "0:refuse", "0:silent", "0"}), qPrintable(sim.error()));
    QString plan = "unit,ip,port,gateway,mask\n";
    for (int i = 0; i < 5; ++i)
        plan += QString("u%1,127.0.0.1,%2,%3,%4\n").arg(i + 1).arg(sim.portText(i), Gateway, Mask);
    BatchRig rig(5000); // the silent unit is still in its first attempt
    rig.start({rig.writePlan(plan), "--jobs", "4"});
    QStringList events = simEvents(sim, 5000, "command 1"); // unit 2 takes its gateway: in its pause soon
    QTest::qWait(300);
    ::kill(pid_t(rig.program.processId()), SIGINT);
    QElapsedTimer ending;
    ending.start();
    QCOMPARE(rig.finish(5000), 130);
    QVERIFY2(ending.elapsed() < 2000, qPrintable(QString::number(ending.elapsed())));

    QStringList expected;
    for (int i = 1; i <= 5; ++i)
        expected << QString("u%1 gateway ").arg(i) +
                        (i < 5 ? "interrupted interrupted" : "skipped skipped: interrupted")
                 << QString("u%1 mask skipped skipped: interrupted").arg(i)
                 << QString("u%1 check skipped skipped: interrupted").arg(i);
    QCOMPARE(rig.report(), expected);
    QVERIFY2(rig.out.startsWith("Units: 0 passed, 0 failed, 4 interrupted, 1 skipped, 5 in all"),
             rig.out.constData());
    events += simEvents(sim, 500);
    QCOMPARE(events.filter(QRegularExpression("^closed ")).size(),
             events.filter(QRegularExpression("^connected ")).size());
}

// A run with faults, then --rerun of its report: only the failed units are contacted, each from the
// step that did not pass; the summary still shows what the earlier run did.
void BatchProgramTest::rerunContactsOnlyWhatFailed()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0", "0:no-echo=4", "0:refuse"}), qPrintable(sim.error()));
    QString plan = "unit,ip,port,gateway,mask\n";
    for (int i = 0; i < 3; ++i)
        plan += QString("u%1,127.0.0.1,%2,10.1.2.1,%3\n").arg(i + 1).arg(sim.portText(i), Mask);
    BatchRig rig;
    const QString planPath = rig.writePlan(plan);
    QCOMPARE(rig.run({planPath}), 1);
    QVERIFY(QFile::copy(rig.path("report.csv"), rig.path("first.csv")));
    simEvents(sim, 300);
    const QByteArray unit2Before = sim.received(1);

    QCOMPARE(rig.run({planPath, "--rerun", rig.path("first.csv"), "--summary", rig.path("summary.csv")}), 1);
    QCOMPARE(rig.report(), (QStringList{"u2 mask error Time Out Error!", "u2 check" + AfterFailure,
                                        "u3 gateway error Connection Error!", "u3 mask" + AfterFailure,
                                        "u3 check" + AfterFailure}));
    const QStringList events = simEvents(sim, 300);
    QCOMPARE(events.filter(QRegularExpression("^connected 0")), QStringList());
    QVERIFY(!events.filter(QRegularExpression("^connected 1")).isEmpty());
    QVERIFY(!sim.received(1).mid(unit2Before.size()).contains("UE3")); // the gateway was set the first time
    QVERIFY(sim.received(1).mid(unit2Before.size()).contains("UE"));
    const QStringList summary = rig.read("summary.csv").split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(summary.value(1), "u2,127.0.0.1," + sim.portText(1) + ",10.1.2.1,,error,mask,Time Out Error!");
    QCOMPARE(summary.size(), 3);
}

// A plan saved by Japanese Excel (CP932, a note column, empty fields at the row ends): the summary on
// standard output says how it was read; report and summary carry the labels and notes in UTF-8 with a
// byte-order mark.
void BatchProgramTest::excelPlanRoundTrip()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0", "0:refuse"}), qPrintable(sim.error()));
    BatchRig rig;
    QFile plan(rig.path("plan.csv"));
    QVERIFY(plan.open(QIODevice::WriteOnly));
    plan.write("unit,ip,port,note,,\r\n\x91\xe6"
               "1\x83\x89\x83"
               "b\x83N-01,127.0.0.1," +
               sim.portText(0).toLatin1() +
               ",\x97\\\x94\xf5,,\r\n"
               "\x91\xe6"
               "1\x83\x89\x83"
               "b\x83N-02,127.0.0.1," +
               sim.portText(1).toLatin1() + ",,,\r\n");
    plan.close();
    QCOMPARE(rig.run({plan.fileName(), "--summary", rig.path("summary.csv")}), 1);
    QVERIFY2(rig.out.startsWith("The plan is not UTF-8; it was read as CP932"), rig.out.constData());
    QCOMPARE(rig.report(), (QStringList{"第1ラック-01 check pass Communication Check is finished.",
                                        "第1ラック-02 check error Communication Check Error!"}));
    QVERIFY(rig.read("report.csv").contains("第1ラック-01,127.0.0.1," + sim.portText(0) + ",check,pass"));
    for (const QString name : {"report.csv", "summary.csv"}) {
        QFile written(rig.path(name));
        QVERIFY(written.open(QIODevice::ReadOnly) && written.read(3) == "\xEF\xBB\xBF");
    }
    QCOMPARE(rig.read("summary.csv").remove(QChar(0xFEFF)),
             QString("unit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                     "第1ラック-01,127.0.0.1,%1,,,pass,,,予備\r\n"
                     "第1ラック-02,127.0.0.1,%2,,,error,check,Communication Check Error!,\r\n")
                 .arg(sim.portText(0), sim.portText(1)));
}

// Output that cannot be written: a location found unwritable before the run sends nothing (exit 2); a
// standard output that takes nothing fails the run (exit 1) with the reason on standard error.
void BatchProgramTest::lostOutputIsAFailure()
{
    SimUnits sim;
    QVERIFY2(sim.start({"0"}), qPrintable(sim.error()));
    const struct {
        QStringList options;
        bool fullOutput;
        int status;
        QString reason;
    } cases[] = {
        {{"--report", "/proc/pelmora2-report.csv"},
         false,
         2,
         "--report /proc/pelmora2-report.csv: cannot be"},
        {{"--summary", "/proc/pelmora2-summary.csv"},
         false,
         2,
         "--summary /proc/pelmora2-summary.csv: cannot"},
        {{}, true, 1, "standard output: No space left on device"},
        {{"--dry-run"}, true, 1, "standard output: No space left on device"},
    };
    for (const auto &c : cases) {
        BatchRig rig;
        if (c.fullOutput)
            rig.program.setStandardOutputFile("/dev/full");
        const QString plan = rig.writePlan("unit,ip,port\nu1,127.0.0.1," + sim.portText(0) + "\n");
        QCOMPARE(rig.run(QStringList{plan} + c.options), c.status);
        QVERIFY2(rig.err.contains(c.reason.toUtf8()), rig.err.constData());
        const qsizetype connections = simEvents(sim, 300).filter(QRegularExpression("^connected ")).size();
        QCOMPARE(connections, c.status == 2 || c.options.contains("--dry-run") ? 0 : 1);
    }
}

QTEST_MAIN(BatchProgramTest)
#include "BatchProgramTest.moc"
