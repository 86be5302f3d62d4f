// pelmora2-batch end to end: the real program as a child process against qv512-sim units on loopback.
// The tests read the report, the log, the exit status and the bytes every unit received, and compare
// those bytes with what the window's own operations send for the same step.
#include "BatchProgress.h"
#include "BatchRig.h"
#include "ConsoleOpNames.h"
#include "FakeOperationView.h"
#include "RemoteConsole.h"

#include <QRegularExpression>
#include <QTest>

namespace
{

const QString Loopback = "127.0.0.1", Gateway = "10.1.2.254", Mask = "255.255.255.0";

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
        const QString further[4] = {portText, portText, Gateway, Mask}; // the port change keeps the port
        qsizetype before = 0;
        for (int op = 0; op < 4; ++op) {
            const ConsoleOpNames &names = namesOf(ConsoleOp(op));
            view.setFieldText(names.ip, 0, Loopback);
            view.setFieldText(names.port, 0, portText);
            view.setFieldText(names.further.value_or(names.port), 0, further[op]);
            if (!operations.runSlotButton(ConsoleOp(op), 0).passed)
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
    void refusedOrOutputLost_data();
    void refusedOrOutputLost();
    void liveLineFitsTerminal();
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
    QStringList expected, newPorts, planOrder;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const UnitCase &c = cases[i];
        planOrder << QString("u%1").arg(i + 1);
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
    const QString counts =
        QString("Units: %1 passed, %2 failed, 0 skipped, 16 in all").arg(16 - failed).arg(failed);
    QVERIFY2(rig.out.contains(counts.toUtf8()), rig.out.constData());
    // Without a terminal: one line per finished step.
    QCOMPARE(rig.err.count('\n'), expected.size());
    QVERIFY(rig.err.contains("u15 check: error ("));
    // The log: each unit's blocks together, units in plan order, the window's lines.
    const QString log = rig.read("log.txt");
    QCOMPARE(log.split("\r\n").filter(QRegularExpression("^<SLOT 0 : ")).size(),
             expected.filter(QRegularExpression(" (pass|error) ")).size());
    QStringList groups;
    for (const QString &line : log.split("\r\n").filter(QRegularExpression("^==== unit ")))
        groups << line.section(' ', 2, 2);
    QCOMPARE(groups, planOrder);
    // The last unit's two blocks, each with the port as the plan gave it.
    QVERIFY2(log.endsWith(consoleLogBlock(ConsoleOp::SetSubnet, 0, Loopback, sim.portText(15), Mask) +
                          consoleLogBlock(ConsoleOp::ComCheck, 0, Loopback, sim.portText(15))),
             qPrintable(log.right(300)));
    QVERIFY(log.contains("        // Error!  %Bad value\r\n\r\n"));

    simEventLines(sim, 300);
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

// Nothing is sent or run before the whole plan and the command line have been read, and the report and
// summary locations found writable: exit status 2, every problem with its line and column. A standard
// output that takes nothing fails the run (exit 1) with the reason on standard error.
void BatchProgramTest::refusedOrOutputLost_data()
{
    QTest::addColumn<QString>("plan");        // PORT: the unit's port
    QTest::addColumn<QStringList>("options"); // %1: the plan's path
    QTest::addColumn<int>("status");          // 1: standard output is /dev/full
    QTest::addColumn<QStringList>("texts");   // on standard error; %1: the plan's path
    const QString good = "unit,ip,port\nu1,127.0.0.1,PORT\n", usage = "Try pelmora2-batch --help.";
    const QString full = "standard output: No space left on device";
    QTest::newRow("plan faults")
        << "unit,ip,port\ngood,127.0.0.1,PORT\nbad,127.0.0.256,PORT\ngood,127.0.0.2,PORT\n"
        << QStringList{"%1"} << 2 << QStringList{"%1:3: ip:", "%1:4: unit:"};
    QTest::newRow("jobs") << good << QStringList{"%1", "--jobs", "257"} << 2 << QStringList{usage};
    QTest::newRow("no plan") << good << QStringList{"--jobs", "4"} << 2 << QStringList{usage};
    QTest::newRow("unknown option") << good << QStringList{"%1", "--bogus"} << 2 << QStringList{usage};
    QTest::newRow("two plans") << good << QStringList{"%1", "%1"} << 2 << QStringList{usage};
    QTest::newRow("report") << good << QStringList{"%1", "--report", "/proc/p2.csv"} << 2
                            << QStringList{"--report /proc/p2.csv: cannot be"};
    QTest::newRow("summary") << good << QStringList{"%1", "--summary", "/proc/p2.csv"} << 2
                             << QStringList{"--summary /proc/p2.csv: cannot"};
    QTest::newRow("full output") << good << QStringList{"%1"} << 1 << QStringList{full};
    QTest::newRow("full output, dry run") << good << QStringList{"%1", "--dry-run"} << 1 << QStringList{full};
}

void BatchProgramTest::refusedOrOutputLost()
{
    QFETCH(QString, plan);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QStringList, texts);
    SimUnits sim;
    QVERIFY2(sim.start({"0"}), qPrintable(sim.error()));
    BatchRig rig;
    const QString path = rig.writePlan(plan.replace("PORT", sim.portText(0)));
    if (status == 1)
        rig.program.setStandardOutputFile("/dev/full");
    QCOMPARE(rig.run(options.replaceInStrings("%1", path)), status);
    for (const QString &text : texts)
        QVERIFY2(rig.err.contains(QString(text).replace("%1", path).toUtf8()), rig.err.constData());
    QVERIFY(status == 1 || !QFile::exists(rig.path("report.csv")));
    const qsizetype connections = simEventLines(sim, 300).filter(QRegularExpression("^connected ")).size();
    QCOMPARE(connections, status == 2 || options.contains("--dry-run") ? 0 : 1);
}

// The live line is rewritten in place: it must never reach the terminal's last column, or it scrolls. Its
// parts go from the end as the width shrinks; an unknown width counts as 80.
void BatchProgramTest::liveLineFitsTerminal()
{
    const QString full = "3/10 steps, 1 failed, about 14 s left, 6 s so far, 1/4 units done";
    for (const auto &[columns, text] : {std::pair<int, QString>{200, full},
                                        {0, full},
                                        {40, "3/10 steps, 1 failed, about 14 s left"},
                                        {5, "3/10"}}) {
        const QString line = BatchProgress::liveLineText(3, 10, 1, 4, 1, 6000, columns);
        QCOMPARE(line.size(), (columns > 0 ? columns : 80) - 1);
        QCOMPARE(line.trimmed(), text);
    }
}

QTEST_MAIN(BatchProgramTest)
#include "BatchProgramTest.moc"
