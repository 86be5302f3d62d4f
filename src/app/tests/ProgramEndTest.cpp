// The real program, ended by a signal in the middle of a host command: a copy of the pelmora2 binary with
// stand-in host commands next to it (the runner takes them from there), its settings and capture folder
// in a temporary folder.
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace
{

QByteArray procStat(const QString &pid)
{
    QFile file("/proc/" + pid + "/stat");
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(')').value(1) : QByteArray();
}

// Processes of the group that still run (zombies waiting to be reaped do not count).
int runningInGroup(pid_t group)
{
    int running = 0;
    for (const QString &pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        const QList<QByteArray> fields = procStat(pid).split(' ');
        running += fields.size() > 4 && fields[3].toInt() == group && fields[1] != "Z";
    }
    return running;
}

// The ping starts a helper of its own; both outlive the program unless their group is ended.
const char *const Setup = R"sh(cd "$1" && mkdir -p bin/hostcmd config/Pelmora2 && mkdir -m 700 run &&
cp "$2/pelmora2" bin/ && cd bin/hostcmd && printf '#!/bin/sh\n' | tee chcp > arp &&
printf '#!/bin/sh\necho $$ > "%s/ping.pid"\nsleep 600 &\nexec sleep 600\n' "$1" > Ping && chmod +x * &&
printf '[IPAddress]\nSLOT2=10.0.0.5\n[Slot]\nSLOT2=1\n' > ../../config/Pelmora2/QV512.ini)sh";

} // namespace

class ProgramEndTest : public QObject
{
    Q_OBJECT

private slots:
    void signalDuringHostCommand_data()
    {
        QTest::addColumn<int>("signalNumber");
        for (const int signalNumber : {SIGTERM, SIGHUP, SIGINT})
            QTest::newRow(::sigabbrev_np(signalNumber)) << signalNumber;
    }

    void signalDuringHostCommand()
    {
        QFETCH(int, signalNumber);
        if (::geteuid() != 0)
            QSKIP("the program starts only with administrator rights: run as root");
        QTemporaryDir dir;
        QCOMPARE(QProcess::execute("/bin/sh",
                                   {"-c", Setup, "sh", dir.path(), qEnvironmentVariable("PELMORA2_BIN_DIR")}),
                 0);
        QProcess pelmora2;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
        env.insert("PELMORA2_CLICK_AFTER_SHOW", "cmdAllPing");
        pelmora2.setProcessEnvironment(env);
        pelmora2.start(dir.filePath("bin/pelmora2"));
        QFile pidFile(dir.filePath("ping.pid"));
        QTRY_VERIFY_WITH_TIMEOUT(pidFile.size() > 0, 20000);
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t group = procStat(pidFile.readAll().trimmed()).split(' ').value(3).toInt();
        QVERIFY(group > 1 && group != ::getpgrp());
        const QStringList folders = QDir(dir.filePath("run")).entryList({"QV512.??????"}, QDir::Dirs);
        QCOMPARE(folders.size(), 1); // the process's own
        const QString capture = dir.filePath("run/" + folders.value(0) + "/temp.txt");
        QVERIFY(QFile::exists(capture)); // made by the redirection before the ping started

        ::kill(static_cast<pid_t>(pelmora2.processId()), signalNumber);

        QVERIFY(pelmora2.waitForFinished(10000));
        QCOMPARE(pelmora2.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pelmora2.exitCode(), 128 + signalNumber);
        QTRY_COMPARE_WITH_TIMEOUT(runningInGroup(group), 0, 5000);
        QVERIFY(!QFile::exists(capture));
        QSettings saved(dir.filePath("config/Pelmora2/QV512.ini"), QSettings::IniFormat);
        QCOMPARE(saved.allKeys().size(), 32); // written as at a window close
        QCOMPARE(saved.value("IPAddress/SLOT2").toString() + saved.value("Slot/SLOT2").toString(),
                 QString("10.0.0.51"));
    }
};

QTEST_GUILESS_MAIN(ProgramEndTest)
#include "ProgramEndTest.moc"
