// The IP pane in the real window, and pelmora2-batch with mac rows (also ended by SIGTERM mid-assignment),
// through the real host adapters against a simulated factory-fresh unit in a network namespace of its own.
// Needs root; all traffic stays between the two namespaces made for each test.
#include "BatchRig.h"
#include "WindowRig.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString UnitIp = "198.51.100.20", Bin = qEnvironmentVariable("PELMORA2_BIN_DIR");

// Runs "ip" with the arguments; false (with a warning) when it fails.
bool ip(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("ip", arguments);
    const bool ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == 0;
    const QByteArray text = process.readAll();
    if (!ok)
        qWarning("ip %s failed: %s", qPrintable(arguments.join(' ')), text.constData());
    if (output)
        *output = text;
    return ok;
}

// Two network namespaces made for one test and removed with this object, joined by a veth pair: "host"
// holds 198.51.100.1/24 on its end; in "unit" qv512-sim plays a fresh unit with MAC 0A-00-3C-5E-7A-<macEnd>
// on its end, whose console listens on 2710 once it has an address. All traffic stays between them.
struct FreshUnit {
    explicit FreshUnit(const QString &macEnd)
    {
        ready = ip({"netns", "add", hostNs}) && ip({"netns", "add", unitNs}) &&
                ip({"link", "add", hostVeth, "netns", hostNs, "type", "veth", "peer", "name", unitVeth,
                    "netns", unitNs}) &&
                ip({"-n", hostNs, "addr", "add", "198.51.100.1/24", "dev", hostVeth}) &&
                ip({"-n", hostNs, "link", "set", hostVeth, "up"}) &&
                ip({"-n", unitNs, "link", "set", unitVeth, "address", "0a:00:3c:5e:7a:" + macEnd, "up"});
        QObject::connect(&unit, &QProcess::readyReadStandardOutput,
                         [this] { said += unit.readAllStandardOutput(); });
        unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        unit.start("ip", inUnit() + QStringList{Bin + "/qv512-sim", "--fresh-unit", unitVeth, "--mac",
                                                "0A-00-3C-5E-7A-" + macEnd, "2710"});
    }
    ~FreshUnit()
    {
        unit.kill();
        unit.waitForFinished(5000);
        ip({"netns", "del", hostNs});
        ip({"netns", "del", unitNs});
    }
    // What runs a program inside one of the namespaces, as arguments of "ip".
    QStringList inHost() const { return {"netns", "exec", hostNs}; }
    QStringList inUnit() const { return {"netns", "exec", unitNs}; }
    bool watching()
    {
        return QTest::qWaitFor([&] { return said.contains("watching " + unitVeth.toLatin1()); }, 10000);
    }
    // The host's neighbour entry for the unit's address.
    QByteArray neighbour() const
    {
        QByteArray text;
        return ip({"-n", hostNs, "neigh", "show", UnitIp}, &text), text;
    }
    const QString tag = QString::number(QCoreApplication::applicationPid()), hostNs = "pelns-host-" + tag,
                  unitNs = "pelns-unit-" + tag, hostVeth = "pnh" + tag, unitVeth = "pnu" + tag;
    bool ready = false;
    QProcess unit;
    QByteArray said;
};
} // namespace

class NamespaceTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void ipPaneSet();
    void batchAssignsThroughTheHelper();
    void sigtermDuringAssignment();
};

void NamespaceTest::init()
{
    if (::geteuid() != 0)
        QSKIP("needs root to make network namespaces and a veth pair");
    for (const char *program : {"qv512-sim", "pelmora2-batch", "hostcmd/netsh"})
        if (!QFileInfo(Bin + "/" + program).isExecutable())
            QSKIP("qv512-sim, pelmora2-batch or the host adapters are not built yet in PELMORA2_BIN_DIR");
}

void NamespaceTest::ipPaneSet()
{
    FreshUnit u("01");
    QVERIFY(u.ready && u.watching());
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    WindowRig r;
    r.runner.setAdapterFolder((Bin + "/hostcmd").toStdString());
    QVERIFY(r.window.Form_Load(r.checks));
    r.type("txtMCAddr", 0, "5E-7A-01");
    r.type("txtIPAddr_IP", 0, UnitIp);

    // The host commands run in the host namespace.
    const int home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    const int hostNsFd = ::open(qPrintable("/run/netns/" + u.hostNs), O_RDONLY | O_CLOEXEC);
    QVERIFY(::setns(hostNsFd, CLONE_NEWNET) == 0);
    const auto goHome = qScopeGuard([&] { ::setns(home, CLONE_NEWNET), ::close(home), ::close(hostNsFd); });

    // The window keeps answering while the host commands run, with the pane locked and closing refused.
    bool lockedWhileRunning = false;
    QTimer::singleShot(300, this, [&] {
        lockedWhileRunning = !r.child("cmdSet_IP", 0)->isEnabled() && r.window.OperationBusy();
    });
    r.click("cmdSet_IP", 0);

    QCOMPARE(r.boxes.shown, QStringList{"Information Set Command: IP setting is finished."});
    QVERIFY(lockedWhileRunning && r.child("cmdSet_IP", 0)->isEnabled());
    const QString setLog = r.window.logText();
    QVERIFY2(setLog.startsWith("<SLOT 0 : Set 0A-00-3C-5E-7A-01>\r\n    Pinging " + UnitIp),
             qPrintable(setLog));
    const QRegularExpression reply("    Reply from " + QRegularExpression::escape(UnitIp) +
                                   ": bytes=32 time(<1|=\\d+)ms TTL=64\r\n");
    QVERIFY(setLog.count(reply) >= 1);
    QVERIFY(setLog.contains(QRegularExpression("\r\n    Interface: 198\\.51\\.100\\.1 --- 0x[0-9a-f]+\r\n")));
    QVERIFY(setLog.contains("\r\n      " + UnitIp + "         0a-00-3c-5e-7a-01     static\r\n\r\n\r\n"));
    QCOMPARE(r.window.Slots().SlotMAC[0], "5E-7A-01");
    QCOMPARE(r.window.Slots().SlotIP[0], UnitIp);
    QTRY_VERIFY_WITH_TIMEOUT(u.said.contains("address " + UnitIp.toLatin1()), 5000);
    QVERIFY2(u.neighbour().contains("lladdr 0a:00:3c:5e:7a:01 PERMANENT"), u.neighbour().constData());

    // The row's Ping, through the Ping adapter: four replies, counted as Windows counts them.
    r.click("cmdPing", 0);
    QCOMPARE(r.boxes.shown.last(), "Information Ping Command: Ping is finished.");
    const QString pingLog = r.window.logText().mid(setLog.size());
    QVERIFY2(pingLog.count(reply) == 4 &&
                 pingLog.contains("\r\n        Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n"),
             qPrintable(pingLog));
}

// Installed as the package installs them (the helper for a group, here nogroup, with CAP_NET_ADMIN), a
// member who is not root assigns the fresh unit through the helper and checks it, while the unit without
// an answer fails its assignment with the window's text and skips its check, the two assignments at the
// same time, each with its own capture file. The helper refuses what the host needs; a program with a
// capability of its own does not start, whatever plugin path it is given.
void NamespaceTest::batchAssignsThroughTheHelper()
{
    FreshUnit u("02");
    QVERIFY(u.ready && u.watching());
    QTemporaryDir installed;
    const QString helper = installed.filePath("pelmora2-neigh");
    QCOMPARE(QProcess::execute("cp", {"-r", Bin + "/hostcmd", Bin + "/pelmora2-batch",
                                      Bin + "/pelmora2-neigh", installed.path()}),
             0);
    QVERIFY(::chmod(QFile::encodeName(installed.path()), 0755) == 0);
    QCOMPARE(QProcess::execute("chown", {"root:nogroup", helper}), 0);
    QVERIFY(::chmod(QFile::encodeName(helper), 0750) == 0);
    QCOMPARE(QProcess::execute("setcap", {"cap_net_admin+ep", helper}), 0);
    const auto restoreBin = qScopeGuard([] { qputenv("PELMORA2_BIN_DIR", QFile::encodeName(Bin)); });
    qputenv("PELMORA2_BIN_DIR", QFile::encodeName(installed.path()));
    const QStringList asMember =
        QStringList{"ip"} + u.inHost() +
        QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
    const auto helperSays = [&](const QStringList &arguments) {
        QProcess run;
        QStringList command = asMember + QStringList{helper} + arguments;
        run.start(command.takeFirst(), command);
        run.waitForFinished(10000);
        return QString::number(run.exitCode()) + " " + QString(run.readAllStandardError()).trimmed();
    };
    const auto runAsMember = [&](BatchRig &rig) {
        QCOMPARE(QProcess::execute("chown", {"-R", "nobody:nogroup", rig.dir.path()}), 0);
        rig.wrapper = asMember;
        rig.run({rig.writePlan("unit,ip,port,mac\nfresh,198.51.100.20,2710,5E-7A-02\n"
                               "absent,198.51.100.21,2711,5E-7A-03\n"),
                 "--jobs", "2"});
    };

    BatchRig member(5000);
    runAsMember(member);
    QCOMPARE(member.report(), QStringList({"fresh assign pass IP setting is finished.",
                                           "fresh check pass Communication Check is finished.",
                                           "absent assign error 198.51.100.21 : IP Set Error!",
                                           "absent check skipped skipped: earlier step failed"}));
    const QString log = member.read("log.txt");
    QVERIFY2(log.startsWith(
                 "==== unit fresh (plan line 2) ====\r\n<SLOT 0 : Set 0A-00-3C-5E-7A-02>\r\n    Pinging " +
                 UnitIp),
             qPrintable(log));
    QVERIFY2(u.neighbour().contains("lladdr 0a:00:3c:5e:7a:02 PERMANENT"), u.neighbour().constData());
    // When each assignment began and ended, from the report's started and duration_ms.
    std::pair<qint64, qint64> times[2];
    for (const QString &line : member.read("report.csv").split("\r\n").filter(",assign,")) {
        const QStringList cells = line.split(',');
        const qint64 start = QDateTime::fromString(cells[6], Qt::ISODateWithMs).toMSecsSinceEpoch();
        times[cells[0] == "absent"] = {start, start + cells[7].toLongLong()};
    }
    QVERIFY2(times[0].first < times[1].second && times[1].first < times[0].second,
             "the assignments did not overlap");

    QCOMPARE(helperSays({"add", "198.51.100.1", "0A-00-3C-00-00-01"}),
             "1 pelmora2-neigh: refused 198.51.100.1: it is an address of this host");
    QCOMPARE(helperSays({"add", "198.51.100.30", "02-00-3C-00-00-01"}),
             "1 pelmora2-neigh: refused: the MAC address is not a unit's (0A-00-3C-xx-xx-xx)");
    QCOMPARE(helperSays({"add", "198.51.100.30", "0A-00-3C-00-00-01", "x"}),
             "2 usage: pelmora2-neigh add <ip> <mac> | del <ip> | flush");
    QCOMPARE(helperSays({"flush"}), "0 "); // learned entries only: the unit's stays
    QVERIFY(u.neighbour().contains("PERMANENT"));
    QCOMPARE(helperSays({"del", "198.51.100.20"}), "0 ");
    QVERIFY2(!u.neighbour().contains("PERMANENT"), u.neighbour().constData());

    QCOMPARE(QProcess::execute("setcap", {"cap_net_admin+ep", installed.filePath("pelmora2-batch")}), 0);
    BatchRig capable(5000);
    QProcessEnvironment env = capable.program.processEnvironment();
    env.insert("QT_PLUGIN_PATH", installed.path());
    capable.program.setProcessEnvironment(env);
    runAsMember(capable);
    QVERIFY2(capable.program.exitCode() == 2 &&
                 capable.err.startsWith("pelmora2-batch: refused to start with privilege of its own"),
             capable.err.constData());
}

// pelmora2-batch ended by SIGTERM while the unit's ping is in flight: report, summary file and log all
// tell the same story, the assignment interrupted and the rest not started.
void NamespaceTest::sigtermDuringAssignment()
{
    FreshUnit u("04");
    QVERIFY(u.ready && u.watching());
    BatchRig rig(5000, QStringList{"ip"} + u.inHost());
    rig.start({rig.writePlan("unit,ip,port,mac,gateway,note\n"
                             "fresh,198.51.100.20,2710,5E-7A-04,198.51.100.1,rack 4\n"),
               "--summary", rig.path("summary.csv")});
    // The unit takes its address from the first ping; the other three follow a second apart.
    QVERIFY(QTest::qWaitFor([&] { return u.said.contains("address 198.51.100.20"); }, 20000));
    QVERIFY(::kill(pid_t(rig.program.processId()), SIGTERM) == 0);

    QCOMPARE(rig.finish(20000), 130);
    QCOMPARE(rig.report(), QStringList({"fresh assign interrupted interrupted",
                                        "fresh gateway skipped skipped: interrupted",
                                        "fresh check skipped skipped: interrupted"}));
    QCOMPARE(rig.read("summary.csv"), "unit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                                      "fresh,198.51.100.20,2710,,,interrupted,assign,interrupted,rack 4\r\n");
    QCOMPARE(rig.read("log.txt"), "==== unit fresh (plan line 2) ====\r\n"
                                  "<SLOT 0 : Set 0A-00-3C-5E-7A-04>\r\n        // interrupted\r\n\r\n");
    // The ping that was cut off leaves no capture file behind.
    QStringList left;
    for (const QString &folder : QDir(rig.dir.path()).entryList({"QV512*"}, QDir::Dirs))
        left += QDir(rig.path(folder)).entryList(QDir::Files);
    QCOMPARE(left, QStringList());
}

QTEST_MAIN(NamespaceTest)
#include "NamespaceTest.moc"
