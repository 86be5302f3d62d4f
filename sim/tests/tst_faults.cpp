// The simulator's fault options, seen from a client over real loopback TCP.

#include "SimHarness.h"

#include <QElapsedTimer>
#include <QTest>

class FaultTest : public QObject
{
    Q_OBJECT

private slots:
    void refuseHoldsPortButRefuses();
    void silentNeverAnswersEsc();
    void lateEscAnswersAfterDelay();
    void noEchoDropsOneCharacter();
    void dripSendsCharactersApart();
    void closeMidClosesAfterSecondCharacter();
    void floodSendsGarbageWithoutMarkers();
};

void FaultTest::refuseHoldsPortButRefuses()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:refuse"), QStringLiteral("0")}));
    QVERIFY(sim.port(0) != 0);
    UnitClient refused;
    QCOMPARE(refused.connectError(sim.port(0)), QAbstractSocket::ConnectionRefusedError);
    // The other unit of the same process is served as usual.
    UnitClient served;
    QVERIFY(served.connectTo(sim.port(1)));
    QVERIFY(served.attach());
}

void FaultTest::silentNeverAnswersEsc()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:silent")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    client.send("\x1b");
    QVERIFY(client.staysQuiet(500));
    client.send("\x1b");
    QVERIFY(client.staysQuiet(300));
    QVERIFY(sim.waitForLine(QStringLiteral("fault 0 silent")));
    QVERIFY(client.socket.state() == QAbstractSocket::ConnectedState);
}

void FaultTest::lateEscAnswersAfterDelay()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:late-esc=400")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QElapsedTimer clock;
    clock.start();
    client.send("\x1b");
    QCOMPARE(client.readAtLeast(4, 5000), QByteArray("\x1b\r\n>"));
    QVERIFY2(clock.elapsed() >= 350, qPrintable(QString::number(clock.elapsed())));
}

void FaultTest::noEchoDropsOneCharacter()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:no-echo=E")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    QCOMPARE(client.exchange('U', 1), QByteArray("U"));
    client.send("E");
    QVERIFY(client.staysQuiet(300));
    QCOMPARE(client.exchange('1', 1), QByteArray("1"));
    QCOMPARE(client.exchange('\r', 2), QByteArray("\r\n"));
}

void FaultTest::dripSendsCharactersApart()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:drip=60")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    client.send("\x1b");
    // Each character of the answer arrives on its own.
    QByteArray answer;
    for (int i = 0; i < 4; ++i) {
        const QByteArray chunk = client.nextChunk();
        QCOMPARE(chunk.size(), 1);
        answer += chunk;
    }
    QCOMPARE(answer, QByteArray("\x1b\r\n>"));
}

void FaultTest::closeMidClosesAfterSecondCharacter()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:close-mid")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    // The control commands of the attach are not part of a command line.
    QCOMPARE(client.exchange('\x7f', 1), QByteArray("\x7f"));
    QCOMPARE(client.exchange('U', 1), QByteArray("U"));
    client.send("E");
    QVERIFY(client.waitForClose());
    QVERIFY(sim.waitForLine(QStringLiteral("closed 0")));
    // The unit serves the next connection afresh.
    UnitClient next;
    QVERIFY(next.connectTo(sim.port(0)));
    QVERIFY(next.attach());
}

void FaultTest::floodSendsGarbageWithoutMarkers()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:flood")}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    client.send("U");
    constexpr int OneMegabyte = 1 << 20;
    const QByteArray garbage = client.readAtLeast(OneMegabyte, 10000);
    QVERIFY(garbage.size() >= OneMegabyte);
    for (const char marker : {'%', '<', '\r', 'U', 'E', '1'})
        QVERIFY2(!garbage.contains(marker), QByteArray(1, marker).constData());
    client.socket.abort();
    QVERIFY(sim.waitForLine(QStringLiteral("closed 0")));
}

QTEST_GUILESS_MAIN(FaultTest)
#include "tst_faults.moc"
