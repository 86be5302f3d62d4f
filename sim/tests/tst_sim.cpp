// qv512-sim as a child process, seen from a client over TCP.
#include "SimUnits.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QTcpSocket>
#include <QTest>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace
{

// One console connection to a unit.
struct Client : QTcpSocket {
    explicit Client(quint16 port, const QString &host = "127.0.0.1") { connectToHost(host, port); }
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
    int trailer = 0; // bytes of status text that follow the reply, without "%" or "<"
};

const Conversation Conversations[] = {
    {"echo, CR as CR LF, control commands", "0", "\x1b\x7f}|@\rUE1\rU\r", "\x1b\r\n>\x7f}|@\r\nUE1\r\nU\r\n"},
    {"chosen prompt", "0:prompt=0x23", "\x1b", "\x1b\r\n#"},
    {"silent", "0:silent", "\x1b\x1b", ""},
    {"126 answer", "0", "\x1b~", "\x1b\r\n>~", 600},
    {"short 126 answer", "0:short126", "\x1b~", "\x1b\r\n>~", 300},
    // The answer to a line replaces the echo of the next character; then the echo resumes.
    {"unknown line, any byte", "0", QByteArrayLiteral("\x1bU\0\xff\n\rU@\r"),
     QByteArrayLiteral("\x1b\r\n>U\0\xff\n\r\n<@\r\n")},
    {"malformed line", "0", "\x1bUE1 5\rU", "\x1b\r\n>UE1 5\r\n%Invalid Parameter\r"},
    {"error text", "0:error=E07 Busy", "\x1bUE1\rU@\r", "\x1b\r\n>UE1\r\n%E07 Busy\r@\r\n"},
    {"unsupported", "0:unsupported", "\x1bUE4255/255/255/000\rU", "\x1b\r\n>UE4255/255/255/000\r\n<"},
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
        const QByteArray received = client.send(c.sent, c.reply.size() + c.trailer);
        QCOMPARE(received.left(c.reply.size()), c.reply);
        QCOMPARE(received.size(), c.reply.size() + c.trailer);
        QVERIFY(!received.mid(c.reply.size()).contains('%') && !received.mid(c.reply.size()).contains('<'));
        QVERIFY(!client.waitForReadyRead(100)); // nothing more
        client.disconnectFromHost();
        QVERIFY(!sim.waitForEvent("closed 0").isEmpty());
        QCOMPARE(sim.received(0), c.sent);
    }

    // The first read after 126 holds the echo and the part of the status text sent with it.
    void statusTextWithItsEcho_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("withEcho");
        QTest::addColumn<int>("total");
        QTest::newRow("whole") << "0:status-with-echo" << 600 << 600;
        QTest::newRow("whole, short") << "0:status-with-echo,short126" << 300 << 300;
        QTest::newRow("split 100") << "0:status-split=100" << 100 << 600;
    }

    void statusTextWithItsEcho()
    {
        QFETCH(QString, unit);
        QFETCH(int, withEcho);
        QFETCH(int, total);
        SimUnits sim;
        QVERIFY(sim.start({unit}));
        Client client(sim.port(0));
        QVERIFY(client.attach());
        QVERIFY(client.write("~") == 1 && client.waitForReadyRead(3000));
        QByteArray received = client.readAll();
        // One write arrives whole over loopback; the rest may join it only if this reader was late.
        QVERIFY2(received.size() > withEcho, qPrintable(QString::number(received.size())));
        QVERIFY(received.startsWith("~QV512 STATUS"));
        while (received.size() < 1 + total && client.waitForReadyRead(3000))
            received += client.readAll();
        QCOMPARE(received.size(), 1 + total);
        QVERIFY(!client.waitForReadyRead(100));
    }

    void portChangeTakesEffectAfterClose_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("moves");
        QTest::newRow("accepted") << "0" << true;
        QTest::newRow("refused") << "0:unsupported" << false;
    }

    void portChangeTakesEffectAfterClose()
    {
        QFETCH(QString, unit);
        QFETCH(bool, moves);
        const QString newHex = SimUnits::freeShortPortText(); // three digits: the line pads it
        const quint16 newPort = newHex.toUShort(nullptr, 16);
        SimUnits sim;
        QVERIFY(sim.start({unit}));
        const quint16 oldPort = sim.port(0);
        Client client(oldPort);
        QVERIFY(client.waitForConnected());
        const QByteArray line = "UE2 " + newHex.rightJustified(4, '0').toLatin1() + '\r';
        QCOMPARE(client.send("\x1b" + line + 'U', line.size() + 6),
                 "\x1b\r\n>" + line + '\n' + (moves ? 'U' : '<'));
        QVERIFY(!Client(newPort).waitForConnected()); // nothing moves while the connection lasts
        client.disconnectFromHost();
        QVERIFY(!sim.waitForEvent("closed 0").isEmpty());
        QCOMPARE(!sim.waitForEvent("moved 0 " + newHex, moves ? 5000 : 300).isEmpty(), moves);
        QVERIFY(Client(moves ? newPort : oldPort).attach());
        QVERIFY(!Client(moves ? oldPort : newPort).waitForConnected());
    }

    void faultsThatEndOrRefuseTheConnection()
    {
        SimUnits sim;
        QVERIFY(sim.start({"0:refuse", "0:flood", "0:close-mid"}));
        Client refused(sim.port(0));
        QVERIFY(sim.port(0) != 0 && !refused.waitForConnected());
        QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);
        Client flooded(sim.port(1));
        QVERIFY(flooded.attach());
        const QByteArray garbage = flooded.send("U", 1 << 20, 10000);
        QVERIFY(garbage.size() >= 1 << 20);
        for (const char marker : {'%', '<', '\r', 'U', 'E', '1'})
            QVERIFY2(!garbage.contains(marker), QByteArray(1, marker).constData());
        Client closed(sim.port(2));
        QVERIFY(closed.attach());
        QCOMPARE(closed.send("\x7fUE", 3), "\x7fUE"); // closes at the second character of a line
        QVERIFY(closed.state() == QAbstractSocket::UnconnectedState || closed.waitForDisconnected());
    }

    // The unit takes the address of the first ping to its MAC address and serves its console there.
    void freshUnitTakesAddressOfFirstPing()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to create network namespaces and a veth pair");
        const QString tag = QString::number(QCoreApplication::applicationPid());
        const QString host = "qvsim-host-" + tag, unit = "qvsim-unit-" + tag;
        const int ownNs = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const auto cleanUp = qScopeGuard([&] {
            ::setns(ownNs, CLONE_NEWNET);
            ::close(ownNs);
            QProcess::execute("ip", {"netns", "del", host});
            QProcess::execute("ip", {"netns", "del", unit});
        });
        const QString setup =
            "netns add %1;netns add %2;link add qvh%3 netns %1 type veth peer name qvu%3 netns %2;"
            "-n %1 addr add 192.0.2.1/24 dev qvh%3;-n %1 link set qvh%3 up;"
            "-n %1 neigh replace 192.0.2.20 lladdr 0a:00:3c:12:34:56 dev qvh%3 nud permanent;"
            "-n %2 link set qvu%3 address 0a:00:3c:12:34:56 up";
        for (const QString &command : setup.arg(host, unit, tag).split(';'))
            QVERIFY2(QProcess::execute("ip", command.split(' ')) == 0, qPrintable(command));

        // One request a second until a reply or 8 s; the first the unit sees only gives it its address.
        QProcess ping;
        ping.start("ip", {"netns", "exec", host, "ping", "-c1", "-w8", "192.0.2.20"});
        SimUnits sim;
        QVERIFY2(sim.start({"--fresh-unit", "qvu" + tag, "--mac", "0A-00-3C-12-34-56", "--prefix-len", "24",
                            "2710"},
                           {"ip", "netns", "exec", unit}),
                 qPrintable(sim.error()));
        QVERIFY(ping.waitForFinished(10000) && ping.exitCode() == 0);
        const int hostNs = ::open(qPrintable("/run/netns/" + host), O_RDONLY | O_CLOEXEC);
        QVERIFY(hostNs >= 0 && ::setns(hostNs, CLONE_NEWNET) == 0); // for the sockets this thread opens
        ::close(hostNs);
        QVERIFY(Client(0x2710, "192.0.2.20").attach());
    }
};

QTEST_GUILESS_MAIN(SimTest)
#include "tst_sim.moc"
