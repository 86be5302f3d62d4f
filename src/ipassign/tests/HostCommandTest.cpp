// Host command lines: quoted text stays data, the caller's environment stays out, and the shipped host
// adapters answer as the Windows commands do.
#include "CaptureFile.h"
#include "IpPaneBed.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <pwd.h>
#include <sys/stat.h>

namespace
{

// One of the shipped host adapters, run directly.
std::pair<int, QString> runAdapter(const QString &name, const QStringList &arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("PELMORA2_BIN_DIR") + "/hostcmd/" + name, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput())};
}

} // namespace

class HostCommandTest : public QObject
{
    Q_OBJECT

private slots:
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
        const QString ping = runAdapter("Ping", {"127.000.000.001"}).second;
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
              {"arp", "-s", "`touch @`", Mac},
              {"netsh", "interface", "ip", "set", "neighbors", "$(touch @)", "127.0.0.9", Mac}}) {
            const auto [exitCode, out] = runAdapter(refused[0], refused.mid(1).replaceInStrings("@", marker));
            QVERIFY2(exitCode == 1 && out.isEmpty(), qPrintable(refused.join(' ')));
            QVERIFY(!QFileInfo::exists(marker));
        }
    }
};

QTEST_GUILESS_MAIN(HostCommandTest)
#include "HostCommandTest.moc"
