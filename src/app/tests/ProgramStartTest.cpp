// The real program as a child process: it starts into its window with the user's store taken from the
// environment's config folder, and leaves that store untouched when it ends without being closed.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class ProgramStartTest : public QObject
{
    Q_OBJECT

private slots:
    void startsIntoItsWindowAndSavesNothingUnclosed();
};

void ProgramStartTest::startsIntoItsWindowAndSavesNothingUnclosed()
{
    if (geteuid() != 0)
        QSKIP("needs administrator rights (root): without them the program stops at its caution box");

    QTemporaryDir config;
    const QString ini = config.filePath("Pelmora2/QV512.ini");
    QVERIFY(QDir().mkpath(config.filePath("Pelmora2")));
    QFile seed(ini);
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write("[IPAddress]\nSLOT0=192.168.0.20\n");
    seed.close();
    const QByteArray before = [&] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PELMORA2_EXIT_AFTER_SHOW", "1");
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(qEnvironmentVariable("PELMORA2_BIN_DIR") + "/pelmora2", {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QByteArray out = program.readAllStandardOutput();
    QVERIFY2(out.startsWith("PELMORA2_SHOWN vmhwm_kb="), out.constData());
    QVERIFY(out.mid(24).trimmed().toLong() > 0);

    QFile after(ini);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "ProgramStartTest.moc"
