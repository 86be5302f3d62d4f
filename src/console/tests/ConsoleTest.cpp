#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "SimUnits.h"
#include "TestSettings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#define QVERIFY_BETWEEN(value, low, high)                                                                    \
    QVERIFY2((value) >= (low) && (value) < (high), qPrintable(QString::number(value)))

namespace
{

const QString kBefore("before"), kTimeOut("Time Out Error!"), kUnsupported("999:Unspported Command.");

// A unit's console over loopback TCP: records what each connection receives and answers the bytes of
// the newest one through the responder.
struct FakeUnit {
    explicit FakeUnit(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0)
    {
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                perConnection.append(QByteArray());
                connection = socket;
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket, index = perConnection.size() - 1] {
                                     const QByteArray bytes = socket->readAll();
                                     perConnection[index] += bytes;
                                     for (const char byte : bytes)
                                         if (socket == connection)
                                             responder(byte);
                                 });
            }
        });
        server.listen(address, port);
        play({});
    }
    QString portText() const { return QString::number(server.serverPort(), 16).toUpper(); }
    QByteArray received() const { return perConnection.join(); }
    void send(const QByteArray &bytes) { connection->write(bytes); }
    // Script triples: a character, its answer and what follows 30 ms later. Any other character gets
    // what a sound unit sends: ESC gets ESC CR LF and the prompt, CR gets CR LF, 126 its echo and 600
    // characters 30 ms later, anything else its echo.
    void play(const QByteArrayList &script, char prompt = '>')
    {
        responder = [this, script, prompt](char byte) {
            const qsizetype at = script.indexOf(QByteArray(1, byte));
            const bool scripted = at >= 0 && at % 3 == 0;
            send(scripted         ? script[at + 1]
                 : byte == '\x1b' ? "\x1b\r\n" + QByteArray(1, prompt)
                 : byte == '\r'   ? QByteArray("\r\n")
                                  : QByteArray(1, byte));
            const QByteArray later = scripted ? script[at + 2] : QByteArray(byte == '\x7e' ? 600 : 0, 'i');
            QTimer::singleShot(30, &server, [this, later] { send(later); });
        };
    }

    QTcpServer server;
    QTcpSocket *connection = nullptr; // the server owns every connection
    QByteArrayList perConnection;
    std::function<void(char)> responder;
};

// A unit, and a console using a store of its own with the settings as given (null: no entry).
struct Rig {
    explicit Rig(const QString &recvTimeoutMs = "200", const QString &attachTries = "5")
    {
        setConsoleLimits(store, recvTimeoutMs, attachTries);
    }
    qint16 attach()
    {
        if (console.SockConnect("127.0.0.1", unit.portText()) != 0)
            return -1;
        console.LastErrorText = kBefore;
        return console.ConsoleAttach("127.0.0.1", unit.portText());
    }
    QTemporaryDir dir;
    SettingsStore store{dir.path()};
    RemoteConsole console{store};
    FakeUnit unit;
};

} // namespace

class ConsoleTest : public QObject
{
    Q_OBJECT

private slots:
    // A unit that floods garbage (no echo, no mark, no line end) never lets a receive run out; the echo
    // limit ends the wait and the garbage is not kept. It runs first, before other tests leave freed
    // memory resident that it could reuse unnoticed.
    void floodingUnitIsGivenUpAtTheEchoLimit()
    {
#ifndef Q_OS_LINUX
        QSKIP("reads /proc");
#endif
        SimUnits sim;
        QVERIFY2(sim.start({"0:flood"}), qPrintable(sim.error()));
        Rig rig("5000");
        QCOMPARE(rig.console.SockConnect("127.0.0.1", sim.portText(0)), qint16(0));
        const auto statusBytes = [](const QString &field) {
            QFile status("/proc/self/status");
            const QString text =
                status.open(QIODevice::ReadOnly) ? QString::fromLatin1(status.readAll()) : "";
            return QRegularExpression(field + ":\\s+(\\d+) kB").match(text).captured(1).toLongLong() * 1024;
        };
        QFile clearRefs("/proc/self/clear_refs"); // "5" starts the peak resident size afresh
        QVERIFY(clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1 && clearRefs.flush());
        const qint64 residentBefore = statusBytes("VmRSS");
        QVERIFY(residentBefore > 0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.console.ConsoleCommand("UE1\r"), qint16(1));
        QVERIFY_BETWEEN(clock.elapsed(), RemoteConsole::EchoLimitMs, RemoteConsole::EchoLimitMs + 1000);
        [[maybe_unused]] const qint64 growth = statusBytes("VmHWM") - residentBefore;
        QCOMPARE(rig.console.LastErrorText, kTimeOut);
        QVERIFY(!rig.console.recvTimedOut());
#if !defined(__SANITIZE_ADDRESS__) // its quarantine keeps freed memory resident
        QVERIFY2(growth <= 16 * 1024 * 1024, qPrintable(QString("grew by %1 bytes").arg(growth)));
#endif
        rig.console.SockClose();
        QVERIFY(!sim.waitForEvent("closed 0").isEmpty());
        QCOMPARE(sim.received(0), QByteArray("U"));
    }

    // The suite's only wait for the connect limit; without a connection nothing else waits.
    void refusedConnectWaitsForTheLimit()
    {
        Rig rig;
        const QString closedPort = rig.unit.portText();
        rig.unit.server.close();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.console.SockConnect("127.0.0.1", closedPort), qint16(1));
        QVERIFY_BETWEEN(clock.elapsed(), RemoteConsole::ConnectLimitMs, RemoteConsole::ConnectLimitMs + 1000);
        QVERIFY(rig.console.connectTimedOut());

        clock.start();
        QByteArray buffer;
        QVERIFY(!rig.console.SockSend("U") && !rig.console.SockRecv(1, buffer));
        QCOMPARE(rig.console.ConsoleCommand("UE1\r"), qint16(1));
        QCOMPARE(rig.console.LastErrorText, kTimeOut);
        QVERIFY(clock.elapsed() < 100);
    }

    // 010 read as octal is 8: both addresses are loopback, so a wrong reading reaches the decoy.
    void receiveLeavesShortInputPending()
    {
        Rig rig;
        FakeUnit unit(QHostAddress("127.0.0.10")),
            octalDecoy(QHostAddress("127.0.0.8"), unit.server.serverPort());
        QVERIFY(unit.server.isListening() && octalDecoy.server.isListening());
        unit.play({"1", "a", "", "5", "abcde", ""});
        rig.console.setReceiveLimitMs(300);
        // Leading zeros as the padded port field holds them, then hexadecimal digits.
        QCOMPARE(rig.console.SockConnect("127.000.000.010", "000" + unit.portText()), qint16(0));
        QCOMPARE(rig.console.peerPort(), unit.server.serverPort());

        QVERIFY(rig.console.SockSend("1"));
        QByteArray buffer;
        QVERIFY(!rig.console.SockRecv(2, buffer)); // fewer than asked, at the limit
        QCOMPARE(buffer, QByteArray("a"));
        QVERIFY(rig.console.recvTimedOut());
        QVERIFY(rig.console.SockRecv(1, buffer)); // still pending
        QCOMPARE(buffer, QByteArray("a"));

        QVERIFY(rig.console.SockSend("5"));
        QTRY_COMPARE(rig.console.bytesWaiting(), qint64(5));
        QVERIFY(rig.console.SockRecv(3, buffer)); // more than asked: all of it
        QCOMPARE(buffer, QByteArray("abcde"));
        QVERIFY(!rig.console.recvTimedOut());
        QCOMPARE(octalDecoy.perConnection.size(), qsizetype(0));
    }

    void attachSendsWhatThePromptSelects_data()
    {
        QTest::addColumn<char>("prompt");
        QTest::addColumn<QByteArrayList>("script");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<int>("attached");
        const QByteArray all("\x1b\x7f\x7e\x7c\x7d"), to126("\x1b\x7f\x7e");
        const auto status = [](int withEcho, int later) {
            return QByteArrayList{"\x7e", "\x7e" + QByteArray(withEcho, 'i'), QByteArray(later, 'i')};
        };
        QTest::newRow("255") << char(255) << QByteArrayList() << all << kBefore << 1;
        QTest::newRow("2 (50)") << '2' << QByteArrayList() << all << kBefore << 1;
        QTest::newRow("1 (49)") << '1' << QByteArrayList() << QByteArray("\x1b\x7f\x7e\x7d") << kBefore << 1;
        QTest::newRow("0 (48)") << '0' << QByteArrayList() << to126 << kBefore << 1;
        QTest::newRow(", (44)") << ',' << QByteArrayList() << QByteArray("\x1b\x7f") << kBefore << 1;
        QTest::newRow("+ (43)") << '+' << QByteArrayList() << QByteArray("\x1b") << kBefore << 1;
        QTest::newRow("127 unsupported")
            << '>' << QByteArrayList{"\x7f", "<", ""} << QByteArray("\x1b\x7f") << kUnsupported << 0;
        // What follows the echo of 126 in its chunk counts toward the 512 characters.
        QTest::newRow("126: 512 with its echo") << '0' << status(512, 0) << to126 << kBefore << 1;
        QTest::newRow("126: 400 with its echo, 112 later")
            << '0' << status(400, 112) << to126 << kBefore << 1;
        QTest::newRow("126: 400 with its echo, 111 later")
            << '0' << status(400, 111) << to126 << kBefore << 0;
    }
    void attachSendsWhatThePromptSelects()
    {
        QFETCH(char, prompt);
        QFETCH(QByteArrayList, script);
        Rig rig;
        rig.unit.play(script, prompt);
        QTEST(int(rig.attach()), "attached");
        QTEST(rig.unit.received(), "sent");
        QTEST(rig.console.LastErrorText, "errorText");
    }

    void attachRetries_data()
    {
        QTest::addColumn<QStringList>("stored"); // receive limit, tries; null: no entry
        QTest::addColumn<QByteArray>("answer");  // to every ESC
        QTest::addColumn<int>("limit");          // in use and written back
        QTest::addColumn<QByteArrayList>("perConnection");
        const QByteArray silent, wrong("\x1b\n\r>"), esc("\x1b");
        using L = QByteArrayList;
        // Silent: four attempts on the first connection, a fresh one for the fifth and one after the last.
        QTest::newRow("silent") << QStringList{"200", "5"} << silent << 200 << L{esc.repeated(4), esc, ""};
        QTest::newRow("silent, 3 tries") << QStringList{"200", "3"} << silent << 200 << L{esc.repeated(3)};
        // Zero, negative, not a number, beyond 16 bits, missing: the defaults.
        for (const char *bad : {"0", "-1", "x", "40000", static_cast<const char *>(nullptr)})
            QTest::addRow("stored %s", bad ? bad : "nothing")
                << QStringList{bad, bad} << wrong << 5000 << L{esc.repeated(5)};
        QTest::newRow("blanks, fraction")
            << QStringList{" 2.6 ", " 2.6 "} << wrong << 3 << L{esc.repeated(3)};
    }
    void attachRetries()
    {
        QFETCH(QStringList, stored);
        QFETCH(QByteArray, answer);
        QFETCH(int, limit);
        QFETCH(QByteArrayList, perConnection);
        Rig rig(stored[0], stored[1]);
        rig.unit.play({"\x1b", answer, ""});
        QCOMPARE(rig.attach(), qint16(0));
        QCOMPARE(rig.console.LastErrorText, answer.isEmpty() ? "Can not Connected" : kBefore);
        QTRY_COMPARE(rig.unit.perConnection, perConnection);
        QCOMPARE(rig.console.receiveLimitMs(), limit);
        QCOMPARE(rig.store.read("REMOTE", "TIMEOUT", "RESET", ""), QString::number(limit));
        QCOMPARE(rig.store.read("REMOTE", "RESET_RETRY", "NORMAL", ""),
                 QString::number(perConnection.join().size()));
    }

    void commandExchange_data()
    {
        QTest::addColumn<char>("prompt"); // '.': the console sends "@" after an error reply
        QTest::addColumn<QByteArrayList>("script");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("errorText");
        const QByteArray all("UE1\rU\r"),
            chatter = QByteArray(3 * RemoteConsole::CarriedTextLimit, 'a') + "end";
        using L = QByteArrayList;
        QTest::newRow("echoed") << '#' << L() << all << kBefore;
        QTest::newRow("CR answered by CR alone")
            << '#' << L{"\r", "\r", ""} << QByteArray("UE1\r") << kTimeOut;
        QTest::newRow("error text") << '#' << L{"1", "%NGX\r", ""} << QByteArray("UE1") << "%NGX";
        QTest::newRow("error text, @") << '.' << L{"1", "%NGX\r", ""} << QByteArray("UE1@") << "%NGX";
        QTest::newRow("< alone") << '#' << L{"U", "<", ""} << QByteArray("U") << kUnsupported;
        QTest::newRow("< with the echo") << '#' << L{"U", "<U", ""} << all << kBefore;
        QTest::newRow("carried until the echo") << '#' << L{"E", "x", "E"} << all << kBefore;
        QTest::newRow("echo drops carried text")
            << '#' << L{"U", "a", "U", "E", "xy", "%ERR\r"} << QByteArray("UE") << "xy%ERR";
        QTest::newRow("echo with error mark") << '#' << L{"E", "E%BAD\r", ""} << QByteArray("UE") << "E%BAD";
        QTest::newRow("newest carried text") << '#' << L{"E", chatter, "%E9\r"} << QByteArray("UE")
                                             << QString(RemoteConsole::CarriedTextLimit - 3, u'a') + "end%E9";
    }
    void commandExchange()
    {
        QFETCH(char, prompt);
        QFETCH(QByteArrayList, script);
        QFETCH(QByteArray, wire);
        QFETCH(QString, errorText);
        Rig rig;
        rig.unit.play({}, prompt);
        QCOMPARE(rig.attach(), qint16(1));
        rig.unit.send("%OLD\r<"); // arrived before the command: discarded
        QTRY_COMPARE(rig.console.bytesWaiting(), qint64(6));
        rig.unit.perConnection = {""};
        rig.unit.play(script, prompt);
        QCOMPARE(rig.console.ConsoleCommand("UE1\rU\r"), qint16(errorText == kBefore ? 0 : 1));
        QCOMPARE(rig.console.LastErrorText, errorText);
        QTRY_COMPARE(rig.unit.received(), wire);
    }
};

QTEST_GUILESS_MAIN(ConsoleTest)

#include "ConsoleTest.moc"
