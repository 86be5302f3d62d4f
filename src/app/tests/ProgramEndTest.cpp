// The real program, killed from outside in the middle of a host command: a copy of the pelmora2 binary
// with stand-in host commands next to it (the runner takes them from there), offscreen, its settings and
// capture folder in a temporary folder.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace
{

void writeExecutable(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Processes of the group that still run (zombies waiting for a parent's reaping do not count).
int runningInGroup(pid_t group)
{
    int running = 0;
    for (const QString &pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        const QList<QByteArray> fields = readFile("/proc/" + pid + "/stat").split(')').value(1).split(' ');
        running += fields.size() > 4 && fields[3].toInt() == group && fields[1] != "Z";
    }
    return running;
}

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
    void signalDuringHostCommand();
};

void ProgramEndTest::signalDuringHostCommand()
{
    QFETCH(int, signalNumber);
    if (::geteuid() != 0)
        QSKIP("the program starts only with administrator rights: run as root");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("bin/hostcmd") && QDir(dir.path()).mkpath("config/Pelmora2") &&
            QDir(dir.path()).mkpath("run"));
    QVERIFY(
        QFile::setPermissions(dir.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString program = dir.filePath("bin/pelmora2");
    QVERIFY(QFile::copy(qEnvironmentVariable("PELMORA2_BIN_DIR") + "/pelmora2", program));
    for (const char *name : {"chcp", "arp"})
        writeExecutable(dir.filePath("bin/hostcmd/") + name, "#!/bin/sh\nexit 0\n");
    // The ping starts a helper of its own; both outlive the program unless their group is ended.
    const QString pidFile = dir.filePath("ping.pid");
    writeExecutable(dir.filePath("bin/hostcmd/Ping"), "#!/bin/sh\necho $$ > '" + QFile::encodeName(pidFile) +
                                                          "'\nsleep 600 &\nexec sleep 600\n");
    QSettings seeded(dir.filePath("config/Pelmora2/QV512.ini"), QSettings::IniFormat);
    seeded.setValue("IPAddress/SLOT2", "10.0.0.5");
    seeded.setValue("Slot/SLOT2", "1");
    seeded.sync();

    QProcess pelmora2;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : {std::pair<QString, QString>{"XDG_CONFIG_HOME", dir.filePath("config")},
                                      {"XDG_RUNTIME_DIR", dir.filePath("run")},
                                      {"PELMORA2_CLICK_AFTER_SHOW", "cmdAllPing"}})
        env.insert(name, value);
    pelmora2.setProcessEnvironment(env);
    pelmora2.setProcessChannelMode(QProcess::ForwardedChannels);
    pelmora2.start(program);
    QVERIFY(pelmora2.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!readFile(pidFile).trimmed().isEmpty(), 20000);
    const QByteArray ping = readFile(pidFile).trimmed();
    const pid_t group = readFile("/proc/" + ping + "/stat").split(')').value(1).split(' ').value(3).toInt();
    QVERIFY(group > 1 && group != ::getpgrp());
    const QString capture = dir.filePath("run/QV512/temp.txt");
    QVERIFY(QFile::exists(capture)); // made by the redirection before the ping started

    ::kill(static_cast<pid_t>(pelmora2.processId()), signalNumber);

    QVERIFY(pelmora2.waitForFinished(10000));
    QCOMPARE(pelmora2.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pelmora2.exitCode(), 128 + signalNumber);
    QTRY_COMPARE_WITH_TIMEOUT(runningInGroup(group), 0, 5000);
    QVERIFY(!QFile::exists(capture));
    QSettings saved(dir.filePath("config/Pelmora2/QV512.ini"), QSettings::IniFormat);
    QCOMPARE(saved.allKeys().size(), 32); // written as at a window close
    QCOMPARE(saved.value("IPAddress/SLOT2").toString(), QString("10.0.0.5"));
    QCOMPARE(saved.value("Slot/SLOT2").toString(), QString("1"));
}

QTEST_GUILESS_MAIN(ProgramEndTest)
#include "ProgramEndTest.moc"
