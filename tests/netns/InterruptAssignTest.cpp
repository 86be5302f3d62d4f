// pelmora2-batch ended by SIGTERM while it assigns a factory-fresh unit its address (the unit's ping in
// flight, in a network namespace of its own): report, summary file, log and standard output all tell the
// same story, the assignment interrupted and the rest not started. Needs root; all traffic stays between
// the two namespaces made for the test.
#include "BatchRig.h"
#include "NamespacePair.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <signal.h>
#include <unistd.h>

class InterruptAssignTest : public QObject
{
    Q_OBJECT

private slots:
    void sigtermDuringAssignment();
};

void InterruptAssignTest::sigtermDuringAssignment()
{
    const QString bin = qEnvironmentVariable("PELMORA2_BIN_DIR");
    if (::geteuid() != 0)
        QSKIP("needs root to make network namespaces and a veth pair");
    if (!QFileInfo(bin + "/hostcmd/netsh").isExecutable() || !QFileInfo(bin + "/qv512-sim").isExecutable())
        QSKIP("qv512-sim or the host adapters are not built yet in PELMORA2_BIN_DIR");
    NamespacePair ns("198.51.100.1/24", "0a:00:3c:5e:7a:04");
    QVERIFY(ns.ready());
    QProcess unit;
    QByteArray said;
    connect(&unit, &QProcess::readyReadStandardOutput, this, [&] { said += unit.readAllStandardOutput(); });
    unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    unit.start("ip", ns.inUnit() + QStringList{bin + "/qv512-sim", "--fresh-unit", ns.unitVeth, "--mac",
                                               "0A-00-3C-5E-7A-04", "2710"});
    const auto stopUnit = qScopeGuard([&] { unit.kill(), unit.waitForFinished(5000); });
    QVERIFY(QTest::qWaitFor([&] { return said.contains("watching " + ns.unitVeth.toLatin1()); }, 10000));

    BatchRig rig(5000, QStringList{"ip"} + ns.inHost());
    rig.start({rig.writePlan("unit,ip,port,mac,gateway,note\n"
                             "fresh,198.51.100.20,2710,5E-7A-04,198.51.100.1,rack 4\n"),
               "--summary", rig.path("summary.csv")});
    // The unit takes its address from the first ping; the other three follow a second apart.
    QVERIFY(QTest::qWaitFor([&] { return said.contains("address 198.51.100.20"); }, 20000));
    QVERIFY(::kill(pid_t(rig.program.processId()), SIGTERM) == 0);

    QCOMPARE(rig.finish(20000), 130);
    QCOMPARE(rig.report(), QStringList({"fresh assign interrupted interrupted",
                                        "fresh gateway skipped skipped: interrupted",
                                        "fresh check skipped skipped: interrupted"}));
    QCOMPARE(rig.read("summary.csv"), "unit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                                      "fresh,198.51.100.20,2710,,,interrupted,assign,interrupted,rack 4\r\n");
    QCOMPARE(rig.read("log.txt"), "==== unit fresh (plan line 2) ====\r\n"
                                  "<SLOT 0 : Set 0A-00-3C-5E-7A-04>\r\n        // interrupted\r\n\r\n");
    QVERIFY2(rig.out.startsWith("Units: 0 passed, 0 failed, 1 interrupted, 0 skipped, 1 in all;"),
             rig.out.constData());
    // The ping that was cut off leaves no capture file behind.
    QStringList left;
    for (const QString &folder : QDir(rig.dir.path()).entryList({"QV512*"}, QDir::Dirs))
        left += QDir(rig.path(folder)).entryList(QDir::Files);
    QCOMPARE(left, QStringList());
}

QTEST_MAIN(InterruptAssignTest)
#include "InterruptAssignTest.moc"
