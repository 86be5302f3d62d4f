#include "TerminationSignals.h"
#include "platform/CommandRunner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// Being told of a request to end the program, and a runner that starts nothing once aborted.
class TerminationTest : public QObject
{
    Q_OBJECT

private slots:
    // Ending what runs at an abort is the program end test's.
    void nothingStartsAfterAnAbort()
    {
        QTemporaryDir dir;
        CommandRunner runner;
        runner.setAdapterFolder(dir.path().toStdString());
        QVERIFY(QFile::link("/bin/true", dir.filePath("chcp")));
        runner.abortRunning();
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
