#include "ConsoleTestKit.h"
#include "RemoteConsole.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// A unit flooding the console with 200 MB during an echo wait: the command still fails with its
// time-out text within the echo limit, and the program's memory stays bounded.
class FloodTest : public QObject
{
    Q_OBJECT

private slots:
    void floodingUnitCannotGrowTheProgram();
};

namespace
{

// AddressSanitizer keeps freed memory in quarantine, so resident size says nothing about our bound.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreedMemoryStaysResident = true;
#else
constexpr bool kFreedMemoryStaysResident = false;
#endif

// A "Vm...:  <n> kB" line of /proc/self/status, in bytes.
qint64 statusBytes(const char *field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression(QString("^%1:\\s+(\\d+) kB").arg(field), QRegularExpression::MultilineOption)
            .match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : -1;
}

// Starts the peak resident size afresh from the current one.
bool resetPeakResidentSize()
{
    QFile clearRefs("/proc/self/clear_refs");
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

} // namespace

void FloodTest::floodingUnitCannotGrowTheProgram()
{
    QProcess unit;
    unit.start(FLOOD_UNIT_PATH, {"200000000"});
    QVERIFY(unit.waitForStarted());
    QVERIFY(unit.waitForReadyRead(5000));
    const QByteArray portLine = unit.readLine().trimmed();
    QVERIFY2(portLine.startsWith("port "), portLine.constData());
    const QString portText = QString::number(portLine.mid(5).toInt(), 16);

    TempStore settings("5000", "5");
    RemoteConsole console(settings.store);
    QCOMPARE(console.SockConnect("127.0.0.1", portText), qint16(0));

    QVERIFY(resetPeakResidentSize());
    const qint64 residentBefore = statusBytes("VmRSS");
    QVERIFY(residentBefore > 0);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(console.ConsoleCommand("UE1\r"), qint16(1));
    const qint64 elapsed = clock.elapsed();
    const qint64 growth = statusBytes("VmHWM") - residentBefore;
    QCOMPARE(console.LastErrorText, QString("Time Out Error!"));
    QVERIFY2(elapsed < RemoteConsole::EchoLimitMs + 1000, qPrintable(QString::number(elapsed)));
    if (!kFreedMemoryStaysResident)
        QVERIFY2(growth <= 16 * 1024 * 1024, qPrintable(QString("grew by %1 bytes").arg(growth)));

    console.SockClose();
    QVERIFY(unit.waitForFinished(10000));
    const QByteArray report = unit.readAll();
    const QRegularExpressionMatch sent = QRegularExpression("sent (\\d+)").match(QString::fromLatin1(report));
    QVERIFY2(sent.hasMatch(), report.constData());
    qInfo("unit sent %lld bytes in %lld ms; peak growth %lld bytes", sent.captured(1).toLongLong(), elapsed,
          growth);
    QVERIFY(sent.captured(1).toLongLong() >= 100LL * 1000 * 1000);
}

QTEST_GUILESS_MAIN(FloodTest)
#include "FloodTest.moc"
