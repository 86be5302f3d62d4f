#include "ConsoleTestKit.h"
#include "RemoteConsole.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

// The console against the unit simulator qv512-sim, checked by the bytes the simulator records.
class SimulatorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void soundUnitPassesTheCommunicationCheck_data();
    void soundUnitPassesTheCommunicationCheck();
    void commandFailuresCarryTheirText_data();
    void commandFailuresCarryTheirText();

private:
    // Starts the simulator with one unit; false when it does not come up.
    bool startUnit(const QString &unitSpec);
    QByteArray recorded() const;

    QString m_simulator;
    std::unique_ptr<QTemporaryDir> m_recordDir;
    std::unique_ptr<QProcess> m_process;
    QString m_portText;
};

void SimulatorTest::initTestCase()
{
    m_simulator = QDir(qEnvironmentVariable("PELMORA2_BIN_DIR")).filePath("qv512-sim");
    if (!QFile::exists(m_simulator))
        QSKIP(qPrintable("the simulator is not built: " + m_simulator));
}

void SimulatorTest::init()
{
    m_recordDir = std::make_unique<QTemporaryDir>();
    m_process = std::make_unique<QProcess>();
}

void SimulatorTest::cleanup()
{
    m_process->kill();
    m_process->waitForFinished();
}

bool SimulatorTest::startUnit(const QString &unitSpec)
{
    m_process->start(m_simulator, {"--record", m_recordDir->path(), unitSpec});
    if (!m_process->waitForStarted())
        return false;
    for (;;) {
        if (!m_process->canReadLine() && !m_process->waitForReadyRead(5000))
            return false;
        const QByteArray line = m_process->readLine().trimmed();
        if (line.startsWith("listening 0 "))
            m_portText = QString::fromLatin1(line.mid(12));
        if (line == "READY")
            return !m_portText.isEmpty();
    }
}

QByteArray SimulatorTest::recorded() const
{
    QFile file(m_recordDir->filePath("unit0.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SimulatorTest::soundUnitPassesTheCommunicationCheck_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("controls");
    QTest::newRow("prompt >") << "" << QByteArray("\x7f\x7e\x7c\x7d");
    QTest::newRow("prompt #") << ":prompt=#" << QByteArray();
    QTest::newRow("dripping") << ":drip=3" << QByteArray("\x7f\x7e\x7c\x7d");
}

void SimulatorTest::soundUnitPassesTheCommunicationCheck()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, controls);
    QVERIFY(startUnit("0" + option));
    TempStore settings("2000", "5");
    RemoteConsole console(settings.store);
    console.LastErrorText = "before";

    QCOMPARE(console.SockConnect("127.0.0.1", m_portText), qint16(0));
    QCOMPARE(console.ConsoleAttach("127.0.0.1", m_portText), qint16(1));
    QCOMPARE(console.ConsoleCommand("UE1\rU\r"), qint16(0));
    console.SockClose();
    QCOMPARE(console.LastErrorText, QString("before"));
    QTRY_COMPARE(recorded(), QByteArray(1, kEsc) + controls + "UE1\rU\r");
}

void SimulatorTest::commandFailuresCarryTheirText_data()
{
    QTest::addColumn<QString>("unitSpec");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QByteArray>("afterControls");
    QTest::newRow("error text, then @") << "0:error=E12 BAD"
                                        << "%E12 BAD" << QByteArray("UE1\rU@");
    QTest::newRow("unsupported") << "0:unsupported"
                                 << "999:Unspported Command." << QByteArray("UE1\rU");
    QTest::newRow("closed mid-command") << "0:close-mid"
                                        << "Time Out Error!" << QByteArray("UE");
}

void SimulatorTest::commandFailuresCarryTheirText()
{
    QFETCH(QString, unitSpec);
    QFETCH(QString, errorText);
    QFETCH(QByteArray, afterControls);
    QVERIFY(startUnit(unitSpec));
    TempStore settings("500", "5");
    RemoteConsole console(settings.store);

    QCOMPARE(console.SockConnect("127.0.0.1", m_portText), qint16(0));
    QCOMPARE(console.ConsoleAttach("127.0.0.1", m_portText), qint16(1));
    QCOMPARE(console.ConsoleCommand("UE1\rU\r"), qint16(1));
    QCOMPARE(console.LastErrorText, errorText);
    QTRY_COMPARE(recorded(), QByteArray("\x1b\x7f\x7e\x7c\x7d") + afterControls);
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "SimulatorTest.moc"
