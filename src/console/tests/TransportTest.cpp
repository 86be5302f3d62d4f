#include "ConsoleTestKit.h"
#include "FakeUnit.h"
#include "HostText.h"
#include "RemoteConsole.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

// The connection and its bounded waits, against fake units over loopback TCP.
class TransportTest : public QObject
{
    Q_OBJECT

private slots:
    void refusingUnitGivesOneOnlyAtTheConnectLimit();
    void portTextsAreHexadecimal_data();
    void portTextsAreHexadecimal();
    void portTextIsReadAsHexWhenConnecting();
    void dottedOctetsAreDecimal_data();
    void dottedOctetsAreDecimal();
    void receiveTakesEverythingPending();
    void shortReceiveLeavesItsCharactersPending();
    void withoutConnectionSendAndReceiveFailAtOnce();
    void sendTheUnitNeverTakesTimesOut();
    void receiveEndsWhenTheUnitCloses();
    void userInputIsDispatchedDuringAWait();

private:
    TempStore m_settings;
};

void TransportTest::refusingUnitGivesOneOnlyAtTheConnectLimit()
{
    quint16 closedPort = 0;
    {
        FakeUnit gone;
        closedPort = gone.port();
    }
    RemoteConsole console(m_settings.store);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(console.SockConnect("127.0.0.1", QString::number(closedPort, 16)), qint16(1));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= RemoteConsole::ConnectLimitMs, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < RemoteConsole::ConnectLimitMs + 1000, qPrintable(QString::number(elapsed)));
    QVERIFY(console.ConnectTimedOut);
    QVERIFY(!console.Timer1.isActive());
}

void TransportTest::portTextsAreHexadecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port"); // -1: no port
    QTest::newRow("1F90") << "1F90" << 8080;
    QTest::newRow("0050") << "0050" << 80;
    QTest::newRow("FFFF") << "FFFF" << 65535;
    QTest::newRow("lower case") << "1f90" << 8080;
    QTest::newRow("short") << "A" << 10;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("not hex") << "12G4" << -1;
    QTest::newRow("sign") << "-1" << -1;
    QTest::newRow("prefix") << "0x50" << -1;
    QTest::newRow("beyond 16 bits") << "10000" << -1;
}

void TransportTest::portTextsAreHexadecimal()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    const std::optional<quint16> parsed = portFromHexText(text);
    QCOMPARE(parsed.has_value() ? int(*parsed) : -1, port);
}

void TransportTest::portTextIsReadAsHexWhenConnecting()
{
    FakeUnit unit;
    const QString text = "000" + unit.portText(); // leading zeros, as the padded port field holds them
    RemoteConsole console(m_settings.store);
    QCOMPARE(console.SockConnect("127.0.0.1", text), qint16(0));
    QTRY_COMPARE(unit.connectionCount(), 1);
    QCOMPARE(console.Winsock1.peerPort(), unit.port());
    QVERIFY(!console.ConnectTimedOut);
}

void TransportTest::dottedOctetsAreDecimal_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("leading zero") << "127.0.0.010";
    QTest::newRow("zero padded") << "127.000.000.010";
    QTest::newRow("as normalised") << "127.0.0.10";
}

// 010 read as octal would be 8: both addresses are loopback, so a wrong reading reaches the decoy.
void TransportTest::dottedOctetsAreDecimal()
{
    QFETCH(QString, host);
    FakeUnit decimalUnit(QHostAddress("127.0.0.10"));
    QVERIFY(decimalUnit.isListening());
    FakeUnit octalDecoy(QHostAddress("127.0.0.8"), decimalUnit.port());
    QVERIFY(octalDecoy.isListening());

    RemoteConsole console(m_settings.store);
    QCOMPARE(console.SockConnect(host, decimalUnit.portText()), qint16(0));
    QTRY_COMPARE(decimalUnit.connectionCount(), 1);
    QCOMPARE(octalDecoy.connectionCount(), 0);
    QCOMPARE(decimalDottedHost(host), QString("127.0.0.10"));
}

void TransportTest::receiveTakesEverythingPending()
{
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char) { u.send("abcde"); });
    RemoteConsole console(m_settings.store);
    QCOMPARE(console.SockConnect("127.0.0.1", unit.portText()), qint16(0));
    QVERIFY(console.SockSend("?"));
    QTRY_COMPARE(console.Winsock1.bytesAvailable(), qint64(5));

    QByteArray buffer;
    QVERIFY(console.SockRecv(3, buffer));
    QCOMPARE(buffer, QByteArray("abcde"));
    QCOMPARE(console.Winsock1.bytesAvailable(), qint64(0));
    QVERIFY(!console.RecvTimedOut);
}

void TransportTest::shortReceiveLeavesItsCharactersPending()
{
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char) { u.send("a"); });
    RemoteConsole console(m_settings.store);
    console.Timer2.setInterval(300);
    QCOMPARE(console.SockConnect("127.0.0.1", unit.portText()), qint16(0));
    QVERIFY(console.SockSend("?"));

    QByteArray buffer("old");
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!console.SockRecv(2, buffer));
    QVERIFY(clock.elapsed() >= 300);
    QCOMPARE(buffer, QByteArray("a"));
    QVERIFY(console.RecvTimedOut); // kept after the wait
    QVERIFY(!console.Timer2.isActive());

    // Still pending for the next receive ...
    QVERIFY(console.SockRecv(1, buffer));
    QCOMPARE(buffer, QByteArray("a"));
    QVERIFY(!console.RecvTimedOut);

    // ... unless a flush discards it.
    QVERIFY(console.SockSend("?"));
    QTRY_VERIFY(console.Winsock1.bytesAvailable() > 0);
    console.SockFlush();
    QVERIFY(!console.SockRecv(1, buffer));
    QCOMPARE(buffer, QByteArray());
}

void TransportTest::withoutConnectionSendAndReceiveFailAtOnce()
{
    RemoteConsole console(m_settings.store);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!console.SockSend("U"));
    QByteArray buffer("old");
    QVERIFY(!console.SockRecv(1, buffer));
    QVERIFY2(clock.elapsed() < 100, "no connection must not wait for a limit");
    QVERIFY(!console.Timer2.isActive());
    QVERIFY(!console.Timer3.isActive());
    console.SockFlush(); // nothing to flush, nothing happens
    console.SockClose();
}

// A listener that never takes its connection: once the system's buffers are full, nothing more goes out.
void TransportTest::sendTheUnitNeverTakesTimesOut()
{
    QTcpServer neverReads;
    QVERIFY(neverReads.listen(QHostAddress::LocalHost));
    neverReads.pauseAccepting();
    RemoteConsole console(m_settings.store);
    QCOMPARE(console.SockConnect("127.0.0.1", QString::number(neverReads.serverPort(), 16)), qint16(0));

    QVERIFY(console.SockSend("U"));
    QVERIFY(console.SendDone);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!console.SockSend(QByteArray(64 * 1024 * 1024, 'x')));
    QVERIFY(clock.elapsed() >= RemoteConsole::SendLimitMs);
    QVERIFY(console.SendTimedOut);
    QVERIFY(!console.SendDone);
    console.SockClose();
}

void TransportTest::receiveEndsWhenTheUnitCloses()
{
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char) { u.closeConnection(); });
    RemoteConsole console(m_settings.store);
    console.Timer2.setInterval(5000);
    QCOMPARE(console.SockConnect("127.0.0.1", unit.portText()), qint16(0));
    console.SockSend("?");
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer;
    QVERIFY(!console.SockRecv(1, buffer));
    QVERIFY(clock.elapsed() < 5000);
}

void TransportTest::userInputIsDispatchedDuringAWait()
{
    QLineEdit field;
    field.show();
    FakeUnit unit;
    unit.setResponder(FakeUnit::silent());
    RemoteConsole console(m_settings.store);
    console.Timer2.setInterval(400);
    QCOMPARE(console.SockConnect("127.0.0.1", unit.portText()), qint16(0));

    bool typedDuringWait = false;
    QTimer::singleShot(100, &field, [&] {
        QCoreApplication::postEvent(&field, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    });
    connect(&field, &QLineEdit::textChanged, &field, [&] { typedDuringWait = console.Timer2.isActive(); });
    QByteArray buffer;
    QVERIFY(!console.SockRecv(1, buffer));
    QCOMPARE(field.text(), QString("a"));
    QVERIFY(typedDuringWait);
}

QTEST_MAIN(TransportTest)
#include "TransportTest.moc"
