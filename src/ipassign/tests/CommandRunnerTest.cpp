#include "platform/CommandRunner.h"
#include "FakeAdapters.h"
#include "HostShell.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace std::chrono_literals;

// The runner with stand-in host commands first on PATH.
class CommandRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commandRunsAfterCodePageSwitch();
    void onlyTheLastCommandIsCaptured();
    void commandPastTheTimeLimitIsKilled();
    void windowEventsAreDispatchedWhileACommandRuns();

private:
    std::unique_ptr<FakeAdapters> m_fakes;
    CommandRunner m_runner;
};

void CommandRunnerTest::init()
{
    m_fakes = std::make_unique<FakeAdapters>();
    m_runner.setAdapterFolder(m_fakes->folder().toStdString());
    m_runner.setTimeLimit(CommandRunner::DefaultTimeLimit);
}

void CommandRunnerTest::commandRunsAfterCodePageSwitch()
{
    QVERIFY(m_runner.ExecShellCmd("arp -d"));
    QVERIFY(m_runner.ExecShellCmd("arp -s 10.1.2.3 0A-00-3C-12-34-56"));
    QCOMPARE(m_fakes->commands(true),
             QStringList({"chcp 437", "arp -d", "chcp 437", "arp -s 10.1.2.3 0A-00-3C-12-34-56"}));
}

void CommandRunnerTest::onlyTheLastCommandIsCaptured()
{
    QTemporaryDir dir;
    const QString capture = dir.path() + "/temp.txt";
    m_fakes->setOutput("chcp", "Active code page: 437\r\n");
    m_fakes->setOutput("Ping 10.0.0.5", WindowsSample("ping-reply.txt"));
    m_fakes->setOutput("arp -a", WindowsSample("arp-a.txt"));

    HostShell shell(m_runner);
    shell.ExecCaptured("Ping 10.0.0.5", capture);
    shell.ExecCaptured("arp -a", capture);

    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), WindowsSample("ping-reply.txt") + WindowsSample("arp-a.txt"));
}

static bool processIsGone(const QByteArray &pid)
{
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // A dead process not yet reaped by its new parent counts as gone.
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

void CommandRunnerTest::commandPastTheTimeLimitIsKilled()
{
    m_fakes->setHang("ping 10.0.0.9");
    m_runner.setTimeLimit(1s);
    HostShell shell(m_runner);

    QElapsedTimer clock;
    clock.start();
    QVERIFY_THROWS_EXCEPTION(HostStepFailed, shell.ExecShellCmd("ping 10.0.0.9"));
    QVERIFY(clock.elapsed() >= 1000);

    QFile pidFile(m_fakes->hangPidFile());
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const QByteArray pid = pidFile.readAll().trimmed();
    QVERIFY(!pid.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(processIsGone(pid), 5000);
}

void CommandRunnerTest::windowEventsAreDispatchedWhileACommandRuns()
{
    m_fakes->setHang("ping 10.0.0.9");
    m_runner.setTimeLimit(1500ms);
    bool timerFired = false;
    QTimer::singleShot(100ms, this, [&] { timerFired = true; });
    QVERIFY(!m_runner.ExecShellCmd("ping 10.0.0.9"));
    QVERIFY(timerFired);
}

QTEST_GUILESS_MAIN(CommandRunnerTest)
#include "CommandRunnerTest.moc"
