// The simulator's console over real loopback TCP: attach answer, echo, 126, command lines and
// their answers, the record file and the port move after UE2.

#include "SimHarness.h"

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QByteArray Malformed = QByteArrayLiteral("%Invalid Parameter\r");

QByteArray echoOf(char c)
{
    return c == '\r' ? QByteArrayLiteral("\r\n") : QByteArray(1, c);
}

// Sends text one character at a time and checks each echo, as the program does.
bool sendEchoed(UnitClient &client, const QByteArray &text)
{
    for (const char c : text) {
        const QByteArray echo = client.exchange(c, echoOf(c).size());
        if (echo != echoOf(c)) {
            qWarning("sent %d, got %s", c, echo.toHex(' ').constData());
            return false;
        }
    }
    return true;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class ConsoleTest : public QObject
{
    Q_OBJECT

private slots:
    void attachAnswer_data();
    void attachAnswer();
    void echoesCharactersAndControlCommands();
    void answer126_data();
    void answer126();
    void commandLineAnswers_data();
    void commandLineAnswers();
    void recordFileHoldsExactBytes();
    void ue2MovesUnitAfterClose();
    void refusedUe2LeavesUnitOnItsPort();
    void secondConnectionWaitsForFirst();
    void quietKeepsOnlyStateLines();
    void rejectsBadCommandLines_data();
    void rejectsBadCommandLines();
};

void ConsoleTest::attachAnswer_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("default prompt") << "0" << QByteArray("\x1b\r\n>");
    QTest::newRow("prompt 1") << "0:prompt=1" << QByteArray("\x1b\r\n1");
    QTest::newRow("prompt as hex") << "0:prompt=0x23" << QByteArray("\x1b\r\n#");
    QTest::newRow("prompt full stop") << "0:prompt=." << QByteArray("\x1b\r\n.");
    QTest::newRow("wrong-esc") << "0:wrong-esc" << QByteArray("X\x1b\r\n>");
}

void ConsoleTest::attachAnswer()
{
    QFETCH(QString, unit);
    QFETCH(QByteArray, answer);
    SimProcess sim;
    QVERIFY(sim.start({unit}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    client.send("\x1b");
    QCOMPARE(client.readAtLeast(answer.size()), answer);
    QVERIFY(client.staysQuiet(100));
    QVERIFY(sim.waitForLine(QStringLiteral("esc 0")));
}

void ConsoleTest::echoesCharactersAndControlCommands()
{
    const quint16 chosen = freePort();
    SimProcess sim;
    QVERIFY(sim.start({QString::number(chosen, 16), QStringLiteral("0")}));
    QCOMPARE(sim.port(0), chosen);
    QVERIFY(sim.port(1) != 0);
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    // The control commands of the attach (except 126), "@", CR alone and a command line.
    QVERIFY(sendEchoed(client, QByteArray("\x7f}|@\r")));
    QVERIFY(sendEchoed(client, QByteArrayLiteral("UE1\rU\r")));
    QVERIFY(client.staysQuiet(100));
    QVERIFY(sim.waitForLine(QStringLiteral("command 0 UE1 accepted")));
}

void ConsoleTest::answer126_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("trailerLength");
    QTest::newRow("normal") << "0" << 600;
    QTest::newRow("short126") << "0:short126" << 300;
}

void ConsoleTest::answer126()
{
    QFETCH(QString, unit);
    QFETCH(int, trailerLength);
    SimProcess sim;
    QVERIFY(sim.start({unit}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    client.send(QByteArray(1, '\x7e'));
    // The echo comes alone; the text follows after a pause, so a reader sees them apart.
    QCOMPARE(client.nextChunk(), QByteArray(1, '\x7e'));
    const QByteArray trailer = client.readAtLeast(trailerLength);
    QVERIFY(client.staysQuiet(200));
    QCOMPARE(trailer.size(), trailerLength);
    QVERIFY(!trailer.contains('%'));
    QVERIFY(!trailer.contains('<'));
}

void ConsoleTest::commandLineAnswers_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answerToU");
    QTest::newRow("UE1") << "0" << QByteArray("UE1") << QByteArray("U");
    QTest::newRow("UE2") << "0" << QByteArray("UE2 1F90") << QByteArray("U");
    QTest::newRow("UE3") << "0" << QByteArray("UE3192/168/000/001") << QByteArray("U");
    QTest::newRow("UE4") << "0" << QByteArray("UE4255/255/255/000") << QByteArray("U");
    QTest::newRow("UE4 zeros") << "0" << QByteArray("UE4000/000/000/000") << QByteArray("U");
    QTest::newRow("empty line") << "0" << QByteArray() << QByteArray("U");
    QTest::newRow("U line") << "0" << QByteArray("U") << QByteArray("U");
    QTest::newRow("octet above 255") << "0" << QByteArray("UE3256/000/000/000") << Malformed;
    QTest::newRow("octet not three digits") << "0" << QByteArray("UE3192/168/0/1") << Malformed;
    QTest::newRow("three octets") << "0" << QByteArray("UE4255/255/255") << Malformed;
    QTest::newRow("UE2 no blank") << "0" << QByteArray("UE21F90") << Malformed;
    QTest::newRow("UE2 not hex") << "0" << QByteArray("UE2 1G90") << Malformed;
    QTest::newRow("UE2 port zero") << "0" << QByteArray("UE2 0000") << Malformed;
    QTest::newRow("UE1 with argument") << "0" << QByteArray("UE1 5") << Malformed;
    QTest::newRow("unknown command") << "0" << QByteArray("UE5") << QByteArray("<");
    QTest::newRow("lower case") << "0" << QByteArray("ue1") << QByteArray("<");
    QTest::newRow("error fault") << "0:error=E07 Busy" << QByteArray("UE1") << QByteArray("%E07 Busy\r");
    QTest::newRow("unsupported fault")
        << "0:unsupported" << QByteArray("UE3192/168/000/001") << QByteArray("<");
}

void ConsoleTest::commandLineAnswers()
{
    QFETCH(QString, unit);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, answerToU);
    SimProcess sim;
    QVERIFY(sim.start({unit}));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    QVERIFY(sendEchoed(client, line + '\r'));
    // The answer replaces the echo of the next character, the "U" of the following line.
    QCOMPARE(client.exchange('U', answerToU.size()), answerToU);
    QVERIFY(client.staysQuiet(100));
    // The unit takes up the echo again: the program's "@" after an error, then the line's CR.
    QVERIFY(sendEchoed(client, QByteArrayLiteral("@\r")));
}

void ConsoleTest::recordFileHoldsExactBytes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--record"), dir.path(), QStringLiteral("0"), QStringLiteral("0")}));

    QByteArray everyByte;
    for (int code = 0; code < 256; ++code)
        everyByte.append(static_cast<char>(code));
    const QByteArray first = QByteArrayLiteral("\x1bUE1\rU\r") + everyByte;
    const QByteArray second = QByteArrayLiteral("\x1bxyz");
    {
        UnitClient client;
        QVERIFY(client.connectTo(sim.port(0)));
        client.send(first);
        client.socket.disconnectFromHost();
        QVERIFY(client.waitForClose());
    }
    QVERIFY(sim.waitForLine(QStringLiteral("closed 0")));
    UnitClient client;
    QVERIFY(client.connectTo(sim.port(0)));
    QVERIFY(client.attach());
    QVERIFY(sendEchoed(client, QByteArrayLiteral("xyz")));

    QFile unit0(dir.filePath(QStringLiteral("unit0.bin")));
    QVERIFY(unit0.open(QIODevice::ReadOnly));
    QCOMPARE(unit0.readAll(), first + second);
    QFile unit1(dir.filePath(QStringLiteral("unit1.bin")));
    QVERIFY(unit1.open(QIODevice::ReadOnly));
    QCOMPARE(unit1.size(), 0);
}

void ConsoleTest::ue2MovesUnitAfterClose()
{
    const quint16 newPort = freePort();
    const QString newHex = QString::number(newPort, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0")}));
    const quint16 oldPort = sim.port(0);
    {
        UnitClient client;
        QVERIFY(client.connectTo(oldPort));
        QVERIFY(client.attach());
        QVERIFY(sendEchoed(client, "UE2 " + newHex.toLatin1() + "\rU\r"));
        // Still on the old port while the connection lasts.
        QVERIFY(sim.waitForLine(QStringLiteral("command 0 UE2 %1 accepted").arg(newHex)));
        QVERIFY(!sim.lines().join('\n').contains(QStringLiteral("moved")));
        client.socket.disconnectFromHost();
        QVERIFY(client.waitForClose());
    }
    QVERIFY(sim.waitForLine(QStringLiteral("moved 0 %1").arg(QString::number(newPort, 16).toUpper())));

    UnitClient old;
    QCOMPARE(old.connectError(oldPort), QAbstractSocket::ConnectionRefusedError);

    // UE2 naming the present port: the unit stays there and still reports the move.
    {
        UnitClient moved;
        QVERIFY(moved.connectTo(newPort));
        QVERIFY(moved.attach());
        QVERIFY(sendEchoed(moved, "UE2 " + newHex.toLatin1() + "\rU\r"));
        moved.socket.disconnectFromHost();
        QVERIFY(moved.waitForClose());
    }
    QVERIFY(sim.waitForLines(QStringLiteral("moved 0 %1").arg(QString::number(newPort, 16).toUpper()), 2));
    UnitClient again;
    QVERIFY(again.connectTo(newPort));
    QVERIFY(again.attach());
}

void ConsoleTest::refusedUe2LeavesUnitOnItsPort()
{
    const QString newHex = QString::number(freePort(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0:unsupported")}));
    const quint16 port = sim.port(0);
    {
        UnitClient client;
        QVERIFY(client.connectTo(port));
        QVERIFY(client.attach());
        QVERIFY(sendEchoed(client, "UE2 " + newHex.toLatin1() + '\r'));
        QCOMPARE(client.exchange('U', 1), QByteArray("<"));
        client.socket.disconnectFromHost();
        QVERIFY(client.waitForClose());
    }
    QVERIFY(sim.waitForLine(QStringLiteral("closed 0")));
    QVERIFY(!sim.lines().join('\n').contains(QStringLiteral("moved")));
    UnitClient again;
    QVERIFY(again.connectTo(port));
    QVERIFY(again.attach());
}

void ConsoleTest::secondConnectionWaitsForFirst()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("0")}));
    UnitClient first;
    QVERIFY(first.connectTo(sim.port(0)));
    QVERIFY(first.attach());
    UnitClient second;
    QVERIFY(second.connectTo(sim.port(0)));
    second.send("\x1b");
    QVERIFY(second.staysQuiet(200));
    first.socket.disconnectFromHost();
    QVERIFY(first.waitForClose());
    // Served once the first has gone: the ESC sent while waiting is answered.
    QCOMPARE(second.readAtLeast(4), QByteArray("\x1b\r\n>"));
}

void ConsoleTest::quietKeepsOnlyStateLines()
{
    const QString port = QString::number(freePort(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    const QString shown = QString::number(port.toUInt(nullptr, 16), 16).toUpper();
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--quiet"), port + QStringLiteral(":no-echo=Z")}));
    {
        UnitClient client;
        QVERIFY(client.connectTo(sim.port(0)));
        QVERIFY(client.attach());
        QVERIFY(sendEchoed(client, "UE2 " + port.toLatin1() + "\rU\r"));
        client.send("Z");
        QVERIFY(client.staysQuiet(100));
        client.socket.disconnectFromHost();
        QVERIFY(client.waitForClose());
    }
    // The move is reported after the close, so every event line would have come before it.
    QVERIFY(sim.waitForLine(QStringLiteral("moved 0 ") + shown));
    QCOMPARE(sim.lines(), QStringList({"listening 0 " + shown, "READY", "moved 0 " + shown}));
}

void ConsoleTest::rejectsBadCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no unit") << QStringList{};
    QTest::newRow("port too long") << QStringList{"12345"};
    QTest::newRow("port not hex") << QStringList{"27G0"};
    QTest::newRow("unknown option") << QStringList{"0:sleepy"};
    QTest::newRow("prompt two characters") << QStringList{"0:prompt=ab"};
    QTest::newRow("drip not a number") << QStringList{"0:drip=fast"};
    QTest::newRow("bad listen address") << QStringList{"--listen", "127.0.0.300", "0"};
    QTest::newRow("fresh unit without mac") << QStringList{"--fresh-unit", "eth0", "0"};
}

void ConsoleTest::rejectsBadCommandLines()
{
    QFETCH(QStringList, arguments);
    QProcess sim;
    sim.start(SimProcess::binary(), arguments);
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY(sim.readAllStandardError().contains("qv512-sim: "));
    QVERIFY(sim.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(ConsoleTest)
#include "tst_console.moc"
