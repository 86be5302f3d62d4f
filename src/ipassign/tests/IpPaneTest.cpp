#include "CaptureFile.h"
#include "FakeOperationView.h"
#include "FolderSwapAttacker.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "platform/CaptureFolder.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace std::chrono_literals;
using Box = FakeOperationView::Box;
using Outputs = QMap<QString, QByteArray>;

namespace
{

// Stands in for arp, ping, Ping, netsh, chcp: records its command line, prints the output set for the line
// or else for its name (a ping without either answers); the output "hang" makes it never end, "flood-lines"
// and "flood-bytes" make it print 150 MiB of short reply lines or of one endless line.
const char *const FakeScript = R"sh(#!/bin/sh
name=${0##*/}
dir='@DIR@'
printf '%s\n' "$name $*" >> "$dir/record.txt"
out="$dir/out/$(printf '%s' "$name $*" | tr ' ' '_')"
[ -f "$out" ] || out="$dir/out/$name"
case "$(head -c 12 "$out" 2>/dev/null)" in
hang) echo $$ > "$dir/hang.pid"; exec sleep 600;;
flood-lines) yes 'Reply from 10.0.0.5: bytes=32 time<1ms TTL=64' | head -c 157286400; exit;;
flood-bytes) head -c 157286400 /dev/zero | tr '\0' x; exit;;
esac
if [ -f "$out" ]; then cat "$out"; else case $name in [pP]ing)
    printf '\r\nPinging %s:\r\nReply from %s: bytes=32 time<1ms TTL=64\r\n\r\n' "$1" "$1";; esac; fi
)sh";

const QString Mac = "0A-00-3C-12-34-56";
const QString ShowInterface = "netsh interface ip show interface";
const QString ShowConfig = "netsh interface ip show config ";
const QString SetNeighbors = "netsh interface ip set neighbors ";
const QByteArray ArpListing = "\r\nInterface: 192.168.0.10 --- 0xb\r\n"
                              "  192.168.0.20          0a-00-3c-12-34-56     static\r\n";
const QString ArpLog = "    Interface: 192.168.0.10 --- 0xb\r\n"
                       "      192.168.0.20          0a-00-3c-12-34-56     static\r\n";
const QStringList ToInterface11 = {"arp -d", ShowInterface, ShowConfig + "1", ShowConfig + "11"};
const Box SetFinished{"IP setting is finished.", "Set Command", BoxIcon::Information};
const Box PingFinished{"Ping is finished.", "Ping Command", BoxIcon::Information};
const Box SetExecError{"SLOT4 : Set Exec Error!", "Set Command", BoxIcon::Critical};
const Box IpError{"SLOT4 : IP Address Error!", "Data Set", BoxIcon::Critical};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray PingTimeout = readFile(IPASSIGN_TEST_DATA "/ping-timeout.txt");

// The IP pane's operations with the stand-ins first on PATH and a capture folder of their own. Interface
// 11 is in 192.168.0.0/24, beside loopback 1 and a disconnected 14 that would match any network here.
struct Bed : HostQuestions {
    Bed()
    {
        QDir(dir.path()).mkpath("bin");
        QDir(dir.path()).mkpath("out");
        const QByteArray script = QByteArray(FakeScript).replace("@DIR@", QFile::encodeName(dir.path()));
        for (const char *name : {"arp", "ping", "Ping", "netsh", "chcp"}) {
            writeFile(dir.filePath("bin/") + name, script);
            QFile::setPermissions(dir.filePath("bin/") + name, QFile::ReadOwner | QFile::ExeOwner);
        }
        runner.setAdapterFolder(dir.filePath("bin").toStdString());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString samples = IPASSIGN_TEST_DATA "/netsh-show-";
        answer({{ShowInterface, readFile(samples + "interface.txt")},
                {ShowConfig + "1", readFile(samples + "config-1.txt")},
                {ShowConfig + "11", readFile(samples + "config-11.txt")},
                {ShowConfig + "14", "IP Address: 10.1.2.1 27.0.0.5 192.168.0.1\r\n"},
                {"arp -a", ArpListing}});
    }
    bool isAdministrator() override { return true; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return "$"; }
    NeighbourHost neighbourHost() override // 192.168.0.10/24 behind the gateway 192.168.0.1
    {
        return {{{0xC0A8000AU, 24}}, {0xC0A80001U}};
    }
    void answer(const Outputs &outputs)
    {
        for (auto it = outputs.cbegin(); it != outputs.cend(); ++it)
            writeFile(dir.filePath("out/") + QString(it.key()).replace(' ', '_'), it.value());
    }
    void setRow(int slot, const QString &macTail, const QString &ip, bool ticked = false)
    {
        view.setFieldText(Field::MAC, slot, "0A-00-3C");
        view.setFieldText(Field::MCAddr, slot, macTail);
        view.setFieldText(Field::IPAddr_IP, slot, ip);
        view.ticked[{Pane::IP, slot}] = ticked;
    }
    QString capture() const
    {
        return runtime.path() + "/" + QDir(runtime.path()).entryList({"QV512.*"}).value(0, "none") +
               "/temp.txt";
    }

    int major = 10;
    QTemporaryDir dir, runtime;
    FakeOperationView view;
    HostChecks hostChecks{*this, view, [] {}};
    CommandRunner runner;
    IpPaneOperations ops{view, hostChecks, runner};
};

// One row's button, what the host answers, and what must follow.
struct RowCase {
    bool set;
    QString ip;
    QStringList commands;
    Box box;
    Outputs outputs = {};
    QString macTail = "12-34-56";
    int major = 10;
};

qint64 peakResidentKb()
{
    rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

// One of the shipped host adapters, run directly.
std::pair<int, QString> runAdapter(const QString &name, const QStringList &arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("PELMORA2_BIN_DIR") + "/hostcmd/" + name, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput())};
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
                            int major = 10) {
            QTest::newRow(name) << RowCase{set, ip, commands, box, outputs, tail, major};
        };
        const auto pinged = [](const QString &ip, bool listed = true) {
            return QStringList{SetNeighbors + "11 " + ip + " " + Mac, "ping " + ip} +
                   QStringList(listed, "arp -a");
        };
        row("set, only the second interface matches", true, "192.168.0.20",
            ToInterface11 + pinged("192.168.0.20"), SetFinished);
        row("set on version 5: arp -s, no netsh", true, "192.168.0.20",
            {"arp -d", "arp -s 192.168.0.20 " + Mac, "ping 192.168.0.20", "arp -a"}, SetFinished, {},
            "12-34-56", 5);
        const Box noNetwork{"The network environment of the IP address you want to set was not found. "
                            "Please check your LAN settings or IP address.",
                            "Error", BoxIcon::Exclamation};
        row("set, the prefix inside a longer address is not its network", true, "027.000.000.005",
            ToInterface11, noNetwork);
        row("set, 11.1.1.1 on the first interface is not 1.1.1.5's network", true, "1.1.1.5",
            ToInterface11 + pinged("1.1.1.5"), SetFinished,
            {{ShowConfig + "1", "    IP Address:     11.1.1.1\r\n"},
             {ShowConfig + "11", "    IP Address:     1.1.1.9\r\n"}});
        // Addresses the host needs never get a unit's entry: nothing runs.
        for (const char *refused : {"192.168.000.010", "192.168.0.1", "192.168.0.0", "192.168.0.255",
                                    "127.0.0.1", "169.254.9.9", "224.0.0.5", "0.0.0.0", "255.255.255.255"})
            QTest::addRow("set, refused %s", refused) << RowCase{true, refused, {}, IpError};
        row("ping, decimal octets", false, "010.000.000.005", {"arp -d", "Ping 10.0.0.5"}, PingFinished);
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

    // One row's Set or Ping button (the row unticked): host commands, box, log and slot table.
    void slotRow()
    {
        QFETCH(RowCase, c);
        const auto &[set, ip, commands, box, outputs, macTail, major] = c;
        Bed bed;
        bed.major = major;
        bed.answer(outputs);
        bed.runner.setTimeLimit(1s);
        bed.setRow(4, macTail, ip);

        set ? bed.ops.cmdSet_IP_Click(4) : bed.ops.cmdPing_Click(4);

        QStringList ran = QString(readFile(bed.dir.filePath("record.txt"))).split('\n', Qt::SkipEmptyParts);
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
            const QByteArray pid = readFile(bed.dir.filePath("hang.pid")).trimmed();
            QVERIFY(!pid.isEmpty());
            const auto state = [&] { return readFile("/proc/" + pid + "/stat").split(')').value(1).left(2); };
            QTRY_VERIFY_WITH_TIMEOUT(state().isEmpty() || state() == " Z", 5000); // gone, or a zombie
        }
    }

    void captureLifecycle_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("baseName"); // below the test's runtime folder; @ stands for a marker file
        for (const char *planted : {"leftover capture", "folder open to others", "file named QV512",
                                    "symlink", "folder of another user"})
            QTest::newRow(planted) << QString(planted) << QByteArray("XDG_RUNTIME_DIR") << QString(".");
        // Through the whole operation, once per variable; the quoting itself has its own table below.
        QTest::newRow("XDG_RUNTIME_DIR $(touch @)")
            << QString() << QByteArray("XDG_RUNTIME_DIR") << QString("$(touch @)");
        QTest::newRow("TMPDIR x'; touch @; '")
            << QString() << QByteArray("TMPDIR") << QString("x'; touch @; '");
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

    // The capture goes to a fresh private folder of the process. A QV512 entry the program did not make, in
    // a folder others can write to, is left as it is; only an earlier run's leftover capture folder is
    // removed. Folder names from the environment reach the interpreter as data: nothing in them runs.
    void captureLifecycle()
    {
        QFETCH(QString, planted);
        QFETCH(QByteArray, variable);
        QFETCH(QString, baseName);
        const auto restoreTemp = qScopeGuard([temp = qgetenv("TMPDIR")] { qputenv("TMPDIR", temp); });
        Bed bed;
        QTemporaryDir elsewhere;
        const QString base =
            QDir::cleanPath(bed.runtime.filePath(baseName.replace("@", elsewhere.filePath("ran"))));
        QVERIFY(QDir().mkpath(base));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv(variable, QFile::encodeName(base));
        const QByteArray answered = "Reply from 192.168.0.21: bytes=32 time<1ms TTL=64\r\n";
        writeFile(elsewhere.filePath("temp.txt"), answered);
        const QByteArray folder = QFile::encodeName(base + "/QV512");
        if (planted == "file named QV512") {
            writeFile(folder, answered);
        } else if (planted == "symlink") {
            QVERIFY(QFile::link(elsewhere.path(), folder));
        } else if (!planted.isEmpty()) {
            QVERIFY(::mkdir(folder.constData(), planted == "folder open to others" ? 0755 : 0700) == 0);
            writeFile(folder + "/temp.txt", answered);
            const passwd *nobody = ::getpwnam("nobody");
            if (planted == "folder of another user" &&
                (!nobody || ::lchown(folder.constData(), nobody->pw_uid, nobody->pw_gid) != 0))
                QSKIP("needs root to give the folder to the user nobody");
        }
        struct stat before = {}, st = {};
        const bool others = ::lstat(folder.constData(), &before) == 0 && planted != "leftover capture";
        bed.answer({{"ping 192.168.0.21", PingTimeout}});
        bed.setRow(4, "12-34-56", "192.168.0.21");

        bed.ops.cmdSet_IP_Click(4);

        // The unanswered ping's output stays for a look, in the program's own private folder.
        QVERIFY(!QFileInfo::exists(elsewhere.filePath("ran")));
        const QStringList made = QDir(base).entryList({"QV512.??????"}, QDir::Dirs);
        QCOMPARE(made.size(), 1);
        const QByteArray used = QFile::encodeName(base + "/" + made.value(0));
        QCOMPARE(readFile(used + "/temp.txt"), PingTimeout);
        QVERIFY(::lstat(used.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid());
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QCOMPARE(readFile(elsewhere.filePath("temp.txt")), answered);
        if (others) { // untouched: same entry, same owner and mode, same content
            QVERIFY(::lstat(folder.constData(), &st) == 0);
            QVERIFY(st.st_ino == before.st_ino && st.st_mode == before.st_mode && st.st_uid == before.st_uid);
            QCOMPARE(readFile(planted == "file named QV512" ? folder : folder + "/temp.txt"), answered);
        } else {
            QVERIFY(!QFileInfo::exists(folder));
        }
    }

    // Two instances at once each capture into a folder of their own, and leave no empty folder behind.
    void twoInstancesNeverShareACapture()
    {
        QTemporaryDir base;
        std::array<QProcess, 2> instances;
        QStringList folders;
        for (QProcess &instance : instances) {
            instance.start(QCoreApplication::applicationFilePath(), {"--capture-instance", base.path()});
            QVERIFY(instance.waitForReadyRead(10000));
            folders << QString(instance.readLine()).trimmed();
        }
        QCOMPARE(folders.removeDuplicates(), 0);
        for (std::size_t i = 0; i < instances.size(); ++i)
            QCOMPARE(readFile(folders[int(i)] + "/temp.txt"), QByteArray::number(instances[i].processId()));
        for (QProcess &instance : instances) {
            instance.closeWriteChannel();
            QVERIFY(instance.waitForFinished(10000) && instance.exitCode() == 0);
        }
        QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Another user's QV512 tree in a shared sticky folder, one of its folders swapped with a symlink to a
    // folder that user cannot write, over and over while captures come and go: nothing outside the
    // program's own folder is deleted.
    void racingSymlinkSwapDeletesNothing()
    {
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            QSKIP("needs root to act as the user nobody");
        QTemporaryDir top;
        const QString shared = top.filePath("shared"), victim = top.filePath("victim");
        QVERIFY(::chmod(QFile::encodeName(top.path()), 0755) == 0 && QDir().mkpath(shared) &&
                QDir().mkpath(victim));
        QVERIFY(::chmod(QFile::encodeName(shared), 01777) == 0);
        for (int i = 0; i < 2000; ++i) // the names of the planted files
            writeFile(victim + QString("/f%1").arg(i), "keep");
        QCOMPARE(QProcess::execute("setpriv",
                                   {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "/bin/sh", "-c",
                                    "cd \"$1\" && mkdir -p QV512/sub && touch QV512/temp.txt && cd QV512/sub "
                                    "&& seq -f f%g 0 1999 | xargs touch && ln -s \"$2\" ../swap",
                                    "sh", shared, victim}),
                 0);
        const QByteArray sub = QFile::encodeName(shared + "/QV512/sub"),
                         swap = QFile::encodeName(shared + "/QV512/swap");
        const FolderSwapAttacker attacker(*nobody, sub, swap);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared));
        CommandRunner runner;
        HostShell shell(runner);

        QElapsedTimer clock;
        clock.start();
        QStringList captures;
        int ownDeleted = 0, plantedDeleted = 0;
        for (int round = 0; round < 200 && clock.elapsed() < 5000; ++round) {
            try {
                captures << shell.PrepCaptureFile();
                writeFile(captures.last(), "own");
                ownDeleted += HostShell::DelFile(captures.last());
            } catch (const HostStepFailed &) {
                captures << "failed";
            }
            for (const char *planted : {"/QV512/temp.txt", "/QV512/sub/f1", "/QV512/swap/f2"})
                plantedDeleted += HostShell::DelFile(shared + planted);
        }

        QCOMPARE(QDir(victim).entryList(QDir::Files).size(), 2000);
        QCOMPARE(plantedDeleted, 0);
        QCOMPARE(ownDeleted, captures.size());
        QCOMPARE(captures.filter(QRegularExpression("^" + QRegularExpression::escape(shared) +
                                                    "/QV512\\.\\w{6}/temp.txt$")),
                 captures);
        QVERIFY(QFileInfo::exists(shared + "/QV512/temp.txt"));
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

    void allButtonsFollowLastTickedRow()
    {
        for (const bool set : {true, false}) {
            for (const bool lastFails : {true, false}) {
                Bed bed;
                bed.setRow(1, "12-34-51", lastFails ? "192.168.0.21" : "192.168.0.256", true);
                bed.setRow(3, "12-34-53", "192.168.0.23"); // not ticked
                bed.setRow(5, "12-34-55", lastFails ? "192.168.0.256" : "192.168.0.25", true);

                set ? bed.ops.cmdAllSet_IP_Click() : bed.ops.cmdAllPing_Click();

                const int passed = lastFails ? 1 : 5;
                QList<Box> boxes{
                    {QString("SLOT%1 : IP Address Error!").arg(6 - passed), "Data Set", BoxIcon::Critical}};
                if (!lastFails)
                    boxes << (set ? SetFinished : PingFinished);
                QCOMPARE(bed.view.boxes, boxes);
                QCOMPARE(bed.view.slotIP.keys(), QList<int>{passed});
                QCOMPARE(bed.view.slotMAC.keys(), set ? QList<int>{passed} : QList<int>{});
            }
        }
    }

    // Run as root with the caller's environment kept (sudo -E), a host command finds its tools and reads
    // its settings only where root's own do: another user's ip early on PATH never runs.
    void hostCommandsIgnoreTheCallersEnvironment()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("ran");
        writeFile(dir.filePath("ip"), "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\n");
        QVERIFY(::chmod(QFile::encodeName(dir.filePath("ip")), 0755) == 0 &&
                ::chmod(QFile::encodeName(dir.path()), 0755) == 0);
        if (const passwd *nobody = ::getpwnam("nobody"); ::geteuid() == 0 && nobody)
            QVERIFY(::chown(QFile::encodeName(dir.filePath("ip")), nobody->pw_uid, nobody->pw_gid) == 0);
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
        QStringList seen = QString(readFile(dir.filePath("env"))).split('\n', Qt::SkipEmptyParts);
        seen.removeIf(
            [](const QString &line) { return line.startsWith("PWD=") || line.startsWith("OLDPWD="); });
        seen.sort();
        QCOMPARE(seen, QStringList({"LC_ALL=C", "PATH=" + adapters + ":/usr/sbin:/usr/bin:/sbin:/bin"}));
    }

    // The shipped host adapters, run directly on loopback.
    void hostAdapters()
    {
        const QString ping = runAdapter("Ping", {"127.0.0.1"}).second;
        QVERIFY2(ping.startsWith("\r\nPinging 127.0.0.1 with 32 bytes of data:\r\n"), qPrintable(ping));
        const QRegularExpression reply("^Reply from 127\\.0\\.0\\.1: bytes=32 time(<1|=\\d+)ms TTL=64\r$",
                                       QRegularExpression::MultilineOption);
        QCOMPARE(ping.count(reply), 4);
        QVERIFY(ping.contains("\r\n    Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n"));
        // netsh's listings are read back by the window's own Set in the namespace test.

        // Arguments are checked, never evaluated.
        QTemporaryDir dir;
        const QString marker = dir.filePath("evaluated");
        for (QStringList refused :
             {QStringList{"ping", "127.0.0.1;touch @"},
              {"ping", "127.000.000.001"}, // the program gives decimal without leading zeros: never octal
              {"arp", "-s", "`touch @`", Mac},
              {"netsh", "interface", "ip", "set", "neighbors", "$(touch @)", "127.0.0.9", Mac}}) {
            const auto [exitCode, out] = runAdapter(refused[0], refused.mid(1).replaceInStrings("@", marker));
            QVERIFY2(exitCode == 1 && out.isEmpty(), qPrintable(refused.join(' ')));
            QVERIFY(!QFileInfo::exists(marker));
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--capture-instance") { // another instance, until stdin closes
        const std::string capture = MakeCaptureFolder(argv[2]) + "/temp.txt";
        QFile file(QString::fromStdString(capture));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(app.applicationPid())) <= 0)
            return 2;
        file.close();
        std::printf("%s\n", capture.substr(0, capture.size() - 9).c_str());
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return DeleteFileForced(capture) ? 0 : 1;
    }
    IpPaneTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "IpPaneTest.moc"
