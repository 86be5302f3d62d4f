// qv512-sim as a child process, seen from a client over TCP.
#include "SimUnits.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTest>

namespace
{

// One console connection to a unit.
struct Client : QTcpSocket {
    explicit Client(quint16 port) { connectToHost("127.0.0.1", port); }
    // Sends bytes and reads until count bytes have come back or timeoutMs has passed.
    QByteArray send(const QByteArray &bytes, qsizetype count = 0, int timeoutMs = 3000)
    {
        write(bytes);
        flush();
        const QDeadlineTimer deadline(timeoutMs);
        QByteArray received = readAll();
        while (received.size() < count && waitForReadyRead(int(deadline.remainingTime())))
            received += readAll();
        return received;
    }
    bool attach() { return waitForConnected() && send("\x1b", 4) == "\x1b\r\n>"; }
};

struct Conversation {
    const char *name;
    const char *unit;
    QByteArray sent;
    QByteArray reply;
    int trailer = 0;  // bytes of status text that follow the reply, without "%" or "<"
    int together = 0; // of those, how many must come in one write with the last echo
};

const Conversation Conversations[] = {
    {"echo, CR as CR LF, control commands", "0", "\x1b\x7f}|@\rUE1\rU\r", "\x1b\r\n>\x7f}|@\r\nUE1\r\nU\r\n"},
    {"chosen prompt", "0:prompt=0x23", "\x1b", "\x1b\r\n#"},
    {"126 answer", "0", "\x1b~", "\x1b\r\n>~", 600},
    {"short 126 answer", "0:short126", "\x1b~", "\x1b\r\n>~", 300},
    {"126 answer with its echo", "0:status-with-echo", "\x1b~", "\x1b\r\n>~", 600, 600},
    {"short 126 answer with its echo", "0:status-with-echo,short126", "\x1b~", "\x1b\r\n>~", 300, 300},
    {"126 answer split after 100", "0:status-split=100", "\x1b~", "\x1b\r\n>~", 600, 100},
    // The answer to a line replaces the echo of the next character; then the echo resumes.
    {"unknown line, any byte", "0", QByteArrayLiteral("\x1bU\0\xff\n\rU@\r"),
     QByteArrayLiteral("\x1b\r\n>U\0\xff\n\r\n<@\r\n")},
    {"malformed line", "0", "\x1bUE1 5\rU", "\x1b\r\n>UE1 5\r\n%Invalid Parameter\r"},
    {"error text", "0:error=E07 Busy", "\x1bUE1\rU@\r", "\x1b\r\n>UE1\r\n%E07 Busy\r@\r\n"},
};

} // namespace

Q_DECLARE_METATYPE(Conversation)

class SimTest : public QObject
{
    Q_OBJECT

private slots:
    void answersAndRecordsEveryByte_data()
    {
        QTest::addColumn<Conversation>("c");
        for (const Conversation &c : Conversations)
            QTest::newRow(c.name) << c;
    }

    void answersAndRecordsEveryByte()
    {
        QFETCH(Conversation, c);
        SimUnits sim;
        QVERIFY(sim.start({c.unit}));
        Client client(sim.port(0));
        QVERIFY(client.waitForConnected());
        QByteArray received;
        if (c.together) {
            // One write arrives whole over loopback; the rest may join it only if this reader was late.
            received = client.send(c.sent.chopped(1), c.reply.size() - 1);
            QVERIFY(client.write(c.sent.right(1)) == 1 && client.waitForReadyRead(3000));
            received += client.readAll();
            QVERIFY2(received.size() >= c.reply.size() + c.together,
                     qPrintable(QString::number(received.size())));
        }
        received += client.send(c.together ? "" : c.sent, c.reply.size() + c.trailer - received.size());
        QCOMPARE(received.left(c.reply.size()), c.reply);
        QCOMPARE(received.size(), c.reply.size() + c.trailer);
        const QByteArray trailer = received.mid(c.reply.size());
        QVERIFY((!c.trailer || trailer.startsWith("QV512 STATUS")) && !trailer.contains('%') &&
                !trailer.contains('<'));
        QVERIFY(!client.waitForReadyRead(100)); // nothing more
        client.disconnectFromHost();
        QVERIFY(!sim.waitForEvent("closed 0").isEmpty());
        QCOMPARE(sim.received(0), c.sent);
    }

    // A port change takes effect once the connection closes, and only when the unit accepted it.
    void portChangeTakesEffectAfterClose()
    {
        SimUnits sim;
        QVERIFY(sim.start({"0", "0:unsupported"}));
        for (const int unit : {0, 1}) {
            const bool moves = unit == 0;
            const QString newHex = SimUnits::freeShortPortText(); // three digits: the line pads it
            const quint16 newPort = newHex.toUShort(nullptr, 16), oldPort = sim.port(unit);
            Client client(oldPort);
            QVERIFY(client.waitForConnected());
            const QByteArray line = "UE2 " + newHex.rightJustified(4, '0').toLatin1() + '\r';
            QCOMPARE(client.send("\x1b" + line + 'U', line.size() + 6),
                     "\x1b\r\n>" + line + '\n' + (moves ? 'U' : '<'));
            QVERIFY(!Client(newPort).waitForConnected()); // nothing moves while the connection lasts
            client.disconnectFromHost();
            QVERIFY(!sim.waitForEvent(QString("closed %1").arg(unit)).isEmpty());
            const QString movedEvent = QString("moved %1 %2").arg(unit).arg(newHex);
            QCOMPARE(!sim.waitForEvent(movedEvent, moves ? 5000 : 300).isEmpty(), moves);
            QVERIFY(Client(moves ? newPort : oldPort).attach());
            QVERIFY(!Client(moves ? oldPort : newPort).waitForConnected());
        }
    }

    // (Refusing units and flooding ones are seen through the console's own tests.)
    void closesMidCommand()
    {
        SimUnits sim;
        QVERIFY(sim.start({"0:close-mid"}));
        Client closed(sim.port(0));
        QVERIFY(closed.attach());
        QCOMPARE(closed.send("\x7fUE", 3), "\x7fUE"); // closes at the second character of a line
        QVERIFY(closed.state() == QAbstractSocket::UnconnectedState || closed.waitForDisconnected());
    }
};

QTEST_GUILESS_MAIN(SimTest)
#include "tst_sim.moc"
