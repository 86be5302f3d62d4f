#include "ConsoleTestKit.h"
#include "FakeUnit.h"
#include "RemoteConsole.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

// A unit that keeps sending other characters never lets a receive time out; the echo limit ends the
// wait anyway.
class EchoLimitTest : public QObject
{
    Q_OBJECT

private slots:
    void chattyUnitIsGivenUpAtTheEchoLimit();
};

void EchoLimitTest::chattyUnitIsGivenUpAtTheEchoLimit()
{
    TempStore settings("5000", "5");
    FakeUnit unit;
    QTimer chatter;
    chatter.setInterval(100);
    connect(&chatter, &QTimer::timeout, &unit, [&unit] { unit.send("x"); });
    unit.setResponder([&chatter](FakeUnit &u, char byte) {
        if (byte == '1')
            chatter.start();
        else
            FakeUnit::answerLikeUnit(u, byte);
    });
    RemoteConsole console(settings.store);
    QCOMPARE(console.SockConnect("127.0.0.1", unit.portText()), qint16(0));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(console.ConsoleCommand("UE1\r"), qint16(1));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(console.LastErrorText, QString("Time Out Error!"));
    QVERIFY2(elapsed >= RemoteConsole::EchoLimitMs, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < RemoteConsole::EchoLimitMs + 1000, qPrintable(QString::number(elapsed)));
    QVERIFY(!console.RecvTimedOut); // no single receive ran out
    QCOMPARE(unit.received(), QByteArray("UE1"));
}

QTEST_GUILESS_MAIN(EchoLimitTest)
#include "EchoLimitTest.moc"
