#include "TerminationSignals.h"
#include "platform/CommandRunner.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <thread>

using namespace std::chrono_literals;

// Ending a running host command from outside, and being told of a request to end the program.
class TerminationTest : public QObject
{
    Q_OBJECT

private slots:
    void abortEndsTheCommandWithWhatItStarted()
    {
        QTemporaryDir dir;
        CommandRunner runner;
        runner.setAdapterFolder(dir.path().toStdString());
        QVERIFY(QFile::link("/bin/true", dir.filePath("chcp")));
        // A grandchild in the background writes its pid, then both sleep: the abort must end both.
        const QString pidFile = dir.filePath("child.pid");
        const std::string command = "(sleep 30 & echo $! > '" + pidFile.toStdString() + "'; wait); sleep 30";
        QElapsedTimer clock;
        clock.start();
        std::thread aborter([&runner] {
            std::this_thread::sleep_for(300ms);
            runner.abortRunning();
        });
        const bool ran = runner.ExecShellCmd(command);
        aborter.join();
        QVERIFY(!ran && clock.elapsed() < 10000);

        QFile pid(pidFile);
        const pid_t child = pid.open(QIODevice::ReadOnly) ? pid.readAll().trimmed().toInt() : 0;
        QVERIFY(child > 0);
        QTRY_VERIFY(::kill(child, 0) != 0);

        // Nothing starts after an abort.
        QVERIFY(!runner.ExecShellCmd("touch '" + dir.filePath("late").toStdString() + "'"));
        QVERIFY(!QFile::exists(dir.filePath("late")));
    }

    // A hangup the program was started to ignore stays ignored; delivery of each signal to the real program
    // is the program end test's.
    void signalsArriveAsQtSignals()
    {
        std::signal(SIGHUP, SIG_IGN); // as under nohup
        TerminationSignals watch;
        QSignalSpy spy(&watch, &TerminationSignals::terminationRequested);
        for (int signalNumber : {SIGHUP, SIGTERM, SIGINT})
            std::raise(signalNumber);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGINT);
    }
};

QTEST_GUILESS_MAIN(TerminationTest)
#include "TerminationTest.moc"
