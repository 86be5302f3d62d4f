// The IP pane's host side: its buttons over stand-in host commands, quoted text staying data, the
// caller's environment left out, and the shipped host adapters' argument checks.
#include "CaptureFile.h"
#include "IpPaneBed.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace
{

// One row's button, what the host answers, and what must follow.
struct RowCase {
    bool set;
    QString ip;
    QStringList commands;
    Box box;
    Outputs outputs = {};
    QString macTail = "12-34-56";
    int major = 10;
    bool all = false; // through the pane's bottom button, the row ticked
};

qint64 peakResidentKb()
{
    rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

} // namespace

Q_DECLARE_METATYPE(RowCase)

class IpPaneTest : public QObject
{
    Q_OBJECT

private slots:
    void slotRow_data()
    {
        QTest::addColumn<RowCase>("c");
        const auto row = [](const char *name, bool set, const QString &ip, const QStringList &commands,
                            const Box &box, const Outputs &outputs = {}, const QString &tail = "12-34-56",
                            int major = 10, bool all = false) {
            QTest::newRow(name) << RowCase{set, ip, commands, box, outputs, tail, major, all};
        };
        const auto pinged = [](const QString &ip, bool listed = true) {
            return QStringList{SetNeighbors + "11 " + ip + " " + Mac, "ping " + ip} +
                   QStringList(listed, "arp -a");
        };
        row("Set All on version 5: arp -s, no netsh", true, "192.168.0.20",
            {"arp -d", "arp -s 192.168.0.20 " + Mac, "ping 192.168.0.20", "arp -a"}, SetFinished, {},
            "12-34-56", 5, true);
        const Box noNetwork{"The network environment of the IP address you want to set was not found. "
                            "Please check your LAN settings or IP address.",
                            "Error", BoxIcon::Exclamation};
        row("set, the prefix inside a longer address is not its network", true, "027.000.000.005",
            ToInterface11, noNetwork);
        row("set, 11.1.1.1 on the first interface is not 1.1.1.5's network", true, "1.1.1.5",
            ToInterface11 + pinged("1.1.1.5"), SetFinished,
            {{ShowConfig + "1", "    IP Address:     11.1.1.1\r\n"},
             {ShowConfig + "11", "    IP Address:     1.1.1.9\r\n"}});
        // This host's own address and gateway never get a unit's entry: nothing runs. The other refused
        // addresses are the refusal rule's own table.
        for (const char *refused : {"192.168.000.010", "192.168.0.1"})
            QTest::addRow("set, refused %s", refused) << RowCase{true, refused, {}, IpError};
        row("Ping All, decimal octets", false, "010.000.000.005", {"arp -d", "Ping 10.0.0.5"}, PingFinished,
            {}, "12-34-56", 10, true);
        row("MAC, letter beyond hex", true, "10.0.0.9", {},
            {"SLOT4 : MAC Address Error!", "Data Set", BoxIcon::Critical}, {}, "12-34-5G");
        row("set, lower-case MAC, octet over 255", true, "10.0.0.256", {}, IpError, {}, "ab-cd-ef");
        row("ping, shell text in an octet", false, "1.2.3.4&&x", {}, IpError);
        row("unanswered ping names the typed address and removes the entry", true, "192.168.000.021",
            ToInterface11 + pinged("192.168.0.21", false) + QStringList{"arp -d 192.168.0.21"},
            {"SLOT4 192.168.000.021 : IP Set Error!", "Set Command", BoxIcon::Critical},
            {{"ping 192.168.0.21", PingTimeout}});
        row("unit not listed", true, "192.168.0.30", ToInterface11 + pinged("192.168.0.30"), SetExecError,
            {{"ping 192.168.0.30", "Reply from 192.168.0.99: TTL=64\r\n"}});
        row("no connected interface", true, "192.168.0.20", {"arp -d", ShowInterface}, SetExecError,
            {{ShowInterface, "\r\n 14          35        1500  disconnected  Wi-Fi\r\n"}});
        row("no connected interface in the network", true, "10.1.2.3", ToInterface11, noNetwork);
        row("ping past the time limit", false, "10.0.0.9", {"arp -d", "Ping 10.0.0.9"},
            {"SLOT4 : Ping Exec Error!", "Ping Command", BoxIcon::Critical}, {{"Ping 10.0.0.9", "hang"}});
    }

    // One row's Set or Ping button, or the bottom one over the ticked row between unticked rows with
    // other addresses: host commands, box, log and slot table.
    void slotRow()
    {
        QFETCH(RowCase, c);
        const auto &[set, ip, commands, box, outputs, macTail, major, all] = c;
        Bed bed;
        bed.host.major = major;
        bed.answer(outputs);
        bed.runner.setTimeLimit(1s);
        bed.setRow(4, macTail, ip, all);
        for (const int unticked : {1, 7})
            bed.setRow(unticked, "12-34-51", "192.168.0.23");

        if (all)
            set ? bed.ops.cmdAllSet_IP_Click() : bed.ops.cmdAllPing_Click();
        else
            set ? bed.ops.cmdSet_IP_Click(4) : bed.ops.cmdPing_Click(4);

        QStringList ran = QString(fileBytes(bed.dir.filePath("record.txt"))).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(ran.removeAll("chcp 437"), commands.size()); // each after switching the code page
        QCOMPARE(ran, commands);
        QCOMPARE(bed.view.boxes, QList<Box>{box});
        QVERIFY(!bed.view.anyPaneLocked() && !bed.view.hourglass && !bed.view.operationBusy);
        if (box.icon != BoxIcon::Information) {
            QVERIFY(bed.view.slotIP.isEmpty() && bed.view.slotMAC.isEmpty());
        } else { // the host got decimal octets; the log and the slot table have what was typed
            const QString hostIp = commands.filter(QRegularExpression("^[pP]ing ")).value(0).mid(5);
            QCOMPARE(bed.view.log, "<SLOT 4 : " + (set ? "Set " + Mac : "Ping " + ip) + ">\r\n    Pinging " +
                                       hostIp + ":\r\n    Reply from " + hostIp +
                                       ": bytes=32 time<1ms TTL=64\r\n" + (set ? ArpLog : "") + "\r\n\r\n");
            QCOMPARE(bed.view.slotIP, (QMap<int, QString>{{4, ip}}));
            QCOMPARE(bed.view.slotMAC.value(4, "none"), set ? macTail : "none");
            QVERIFY(!QFileInfo::exists(bed.capture()));
        }
        if (outputs.values().contains("hang")) { // killed at the limit, with the shell that started it
            const QByteArray pid = fileBytes(bed.dir.filePath("hang.pid")).trimmed();
            QVERIFY(!pid.isEmpty());
            const auto state = [&] {
                return fileBytes("/proc/" + pid + "/stat").split(')').value(1).left(2);
            };
            QTRY_VERIFY_WITH_TIMEOUT(state().isEmpty() || state() == " Z", 5000); // gone, or a zombie
        }
    }

    // A host command that prints without end: the report is read up to the bound and says it was cut, and
    // the memory held stays small.
    void endlessHostOutputIsCut()
    {
        const qint64 peakBefore = peakResidentKb();
        for (const QByteArray flood : {"flood-lines", "flood-bytes"}) {
            Bed bed;
            bed.answer({{"Ping 10.0.0.5", flood}});
            bed.setRow(4, "12-34-56", "10.0.0.5");

            bed.ops.cmdPing_Click(4);

            QCOMPARE(bed.view.boxes, QList<Box>{PingFinished});
            QVERIFY(bed.view.log.endsWith("\r\n    " + CaptureCutLine + "\r\n\r\n\r\n"));
            QVERIFY(bed.view.log.count("\r\n") <= CaptureLineLimit + 4);
            QVERIFY(bed.view.log.size() <= CaptureByteLimit + 5 * CaptureLineLimit + 200);
        }
        [[maybe_unused]] const qint64 growthKb = peakResidentKb() - peakBefore;
#if !defined(__SANITIZE_ADDRESS__) // its quarantine keeps freed memory resident
        QVERIFY2(growthKb < 64 * 1024, qPrintable(QString("peak grew by %1 KiB").arg(growthKb)));
#endif
    }

    // A text quoted for the POSIX interpreter reaches it as data, whatever shell syntax it holds.
    void quotedTextRunsNothing()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("ran");
        for (const char *shell :
             {"$(touch @)", "`touch @`", "x; touch @; x", "x'; touch @; '", "x\"; touch @; \"", "'", ""}) {
            const QString text = QString(shell).replace("@", marker);
            QProcess sh;
            sh.start("/bin/sh",
                     {"-c", "printf %s " + QString::fromStdString(QuoteForShell(text.toStdString()))});
            QVERIFY(sh.waitForFinished());
            QCOMPARE(QString(sh.readAllStandardOutput()), text);
            QVERIFY2(!QFileInfo::exists(marker), shell);
        }
    }

    // Run as root with the caller's environment kept (sudo -E), a host command finds its tools and reads
    // its settings only where root's own do: an ip early on the caller's PATH never runs.
    void hostCommandsIgnoreTheCallersEnvironment()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("ran");
        QVERIFY(writeBytes(dir.filePath("ip"), "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\n"));
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("ip")), 0755) == 0);
        const auto restore = qScopeGuard([path = qgetenv("PATH")] {
            qputenv("PATH", path);
            for (const char *name : {"ENV", "BASH_ENV", "IFS", "CDPATH", "LD_LIBRARY_PATH"})
                qunsetenv(name);
        });
        qputenv("PATH", QFile::encodeName(dir.path()) + ":" + qgetenv("PATH"));
        for (const char *name : {"ENV", "BASH_ENV", "IFS", "CDPATH", "LD_LIBRARY_PATH"})
            qputenv(name, QFile::encodeName(dir.path()));
        CommandRunner runner;
        const QString adapters = qEnvironmentVariable("PELMORA2_BIN_DIR") + "/hostcmd";
        runner.setAdapterFolder(adapters.toStdString());

        QVERIFY(
            runner.ExecShellCmd("arp -a > /dev/null && env > '" + dir.filePath("env").toStdString() + "'"));

        QVERIFY(!QFileInfo::exists(marker));
        QStringList seen = QString(fileBytes(dir.filePath("env"))).split('\n', Qt::SkipEmptyParts);
        seen.removeIf(
            [](const QString &line) { return line.startsWith("PWD=") || line.startsWith("OLDPWD="); });
        seen.sort();
        QCOMPARE(seen, QStringList({"LC_ALL=C", "PATH=" + adapters + ":/usr/sbin:/usr/bin:/sbin:/bin"}));
    }

    // The shipped host adapters check their arguments, never evaluate them. What they report is the
    // namespace test's.
    void hostAdaptersRefuseOddArguments()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("evaluated");
        for (QStringList refused :
             {QStringList{"ping", "127.0.0.1;touch @"},
              {"ping", "127.000.000.001"}, // the program gives decimal without leading zeros: never octal
              {"arp", "-s", "`touch @`", Mac},
              {"netsh", "interface", "ip", "set", "neighbors", "$(touch @)", "127.0.0.9", Mac}}) {
            QProcess adapter;
            adapter.start(qEnvironmentVariable("PELMORA2_BIN_DIR") + "/hostcmd/" + refused[0],
                          refused.mid(1).replaceInStrings("@", marker));
            QVERIFY2(adapter.waitForFinished(30000) && adapter.exitCode() == 1 &&
                         adapter.readAllStandardOutput().isEmpty(),
                     qPrintable(refused.join(' ')));
            QVERIFY(!QFileInfo::exists(marker));
        }
    }
};

QTEST_GUILESS_MAIN(IpPaneTest)
#include "IpPaneTest.moc"
