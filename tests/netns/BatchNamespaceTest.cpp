// pelmora2-batch with mac rows, through the real host adapters, in a network namespace of its own against
// a simulated factory-fresh unit: the assignment gives the unit its address, then the check reaches its
// console there. Needs root; all traffic stays between two namespaces made here.
#include "NamespacePair.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class BatchNamespaceTest : public QObject
{
    Q_OBJECT

private slots:
    void assignThenCheck();
};

// The unit without an answer fails its assignment with the window's text and skips its check.
void BatchNamespaceTest::assignThenCheck()
{
    const QString bin = qEnvironmentVariable("PELMORA2_BIN_DIR");
    if (::geteuid() != 0)
        QSKIP("needs root to make network namespaces and a veth pair");
    if (!QFileInfo(bin + "/pelmora2-batch").isExecutable() ||
        !QFileInfo(bin + "/hostcmd/netsh").isExecutable())
        QSKIP("pelmora2-batch or the host adapters are not built yet in PELMORA2_BIN_DIR");
    NamespacePair ns("198.51.100.1/24", "0a:00:3c:5e:7a:02");
    QVERIFY(ns.ready());
    QProcess unit;
    unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    unit.start("ip", ns.inUnit() + QStringList{bin + "/qv512-sim", "--fresh-unit", ns.unitVeth, "--mac",
                                               "0A-00-3C-5E-7A-02", "2710"});
    const auto stopUnit = qScopeGuard([&] { unit.kill(), unit.waitForFinished(5000); });
    QVERIFY(unit.waitForReadyRead(10000) && unit.readLine().startsWith("watching "));

    QTemporaryDir dir;
    QFile plan(dir.filePath("plan.csv"));
    QVERIFY(plan.open(QIODevice::WriteOnly));
    plan.write("unit,ip,port,mac\nfresh,198.51.100.20,2710,5E-7A-02\nabsent,198.51.100.21,2711,5E-7A-03\n");
    plan.close();
    QProcess batch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.path());
    env.insert("XDG_RUNTIME_DIR", dir.path());
    batch.setProcessEnvironment(env);
    const QString report = dir.filePath("report.csv"), log = dir.filePath("log.txt");
    batch.start("ip", ns.inHost() + QStringList{bin + "/pelmora2-batch", plan.fileName(), "--jobs", "2",
                                                "--report", report, "--log", log});
    QVERIFY(batch.waitForFinished(60000));
    QCOMPARE(batch.exitCode(), 1);

    QFile reportFile(report), logFile(log);
    QVERIFY(reportFile.open(QIODevice::ReadOnly) && logFile.open(QIODevice::ReadOnly));
    QStringList rows;
    for (const QString &line :
         QString::fromUtf8(reportFile.readAll()).split("\r\n", Qt::SkipEmptyParts).mid(1))
        rows << line.section(',', 0, 3);
    QCOMPARE(rows, QStringList({"fresh,assign,pass,IP setting is finished.",
                                "fresh,check,pass,Communication Check is finished.",
                                "absent,assign,error,198.51.100.21 : IP Set Error!",
                                "absent,check,skipped,skipped: earlier step failed"}));
    const QString logText = QString::fromUtf8(logFile.readAll());
    QVERIFY2(logText.startsWith("==== unit fresh (plan line 2) ====\r\n"
                                "<SLOT 0 : Set 0A-00-3C-5E-7A-02>\r\n    Pinging 198.51.100.20"),
             qPrintable(logText));
    QVERIFY(logText.contains("<SLOT 0 : Communication Check >\r\n        IP : 198.51.100.20   Port : 2710\r\n"
                             "        // Pass  \r\n\r\n"));
    QByteArray neighbour;
    QVERIFY(NamespacePair::ip(ns.inHost() + QStringList{"ip", "neigh", "show", "198.51.100.20"}, &neighbour));
    QVERIFY2(neighbour.contains("lladdr 0a:00:3c:5e:7a:02 PERMANENT"), neighbour.constData());
}

QTEST_MAIN(BatchNamespaceTest)
#include "BatchNamespaceTest.moc"
