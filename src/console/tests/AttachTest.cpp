#include "ConsoleTestKit.h"
#include "FakeUnit.h"
#include "RemoteConsole.h"

#include <QTest>

// The ESC handshake, the control commands its prompt selects, its retries and its settings.
class AttachTest : public QObject
{
    Q_OBJECT

private slots:
    void promptSelectsTheControlCommands_data();
    void promptSelectsTheControlCommands();
    void wrongAnswerIsRetriedWithoutReconnect_data();
    void wrongAnswerIsRetriedWithoutReconnect();
    void failingControlCommandEndsTheAttach();
    void shortFollowUpTo126FailsWithoutText();
    void silentUnitIsReconnectedFromTheFourthAttempt();
    void fewTriesNeverReconnect();
    void unusableTriesAreRepaired_data();
    void unusableTriesAreRepaired();
    void unusableReceiveLimitIsRepaired_data();
    void unusableReceiveLimitIsRepaired();

private:
    // Connects to the unit and attaches; the console keeps LastErrorText "before" unless the attach sets it.
    static qint16 attach(RemoteConsole &console, const FakeUnit &unit);
};

qint16 AttachTest::attach(RemoteConsole &console, const FakeUnit &unit)
{
    if (console.SockConnect("127.0.0.1", unit.portText()) != 0)
        return -1;
    console.LastErrorText = "before";
    return console.ConsoleAttach("127.0.0.1", unit.portText());
}

void AttachTest::promptSelectsTheControlCommands_data()
{
    QTest::addColumn<char>("prompt");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("atAfterError");
    const QByteArray esc(1, kEsc);
    const QByteArray all = esc + "\x7f\x7e\x7c\x7d";
    QTest::newRow("> (62)") << '>' << all << true;
    QTest::newRow("2 (50)") << '2' << all << true;
    QTest::newRow("255") << char(255) << all << true;
    QTest::newRow("1 (49)") << '1' << esc + "\x7f\x7e\x7d" << true;
    QTest::newRow("0 (48)") << '0' << esc + "\x7f\x7e" << true;
    QTest::newRow("/ (47)") << '/' << esc + "\x7f" << true;
    QTest::newRow(". (46)") << '.' << esc + "\x7f" << true;
    QTest::newRow(", (44)") << ',' << esc + "\x7f" << true;
    QTest::newRow("+ (43)") << '+' << esc << false;
    QTest::newRow("# (35)") << '#' << esc << false;
}

void AttachTest::promptSelectsTheControlCommands()
{
    QFETCH(char, prompt);
    QFETCH(QByteArray, sent);
    QFETCH(bool, atAfterError);
    TempStore settings;
    FakeUnit unit;
    unit.setResponder(FakeUnit::wellBehaved(prompt));
    RemoteConsole console(settings.store);
    console.AtAfterError = !atAfterError; // the attach starts it afresh

    QCOMPARE(attach(console, unit), qint16(1));
    QCOMPARE(unit.received(), sent);
    QCOMPARE(console.AtAfterError, atAfterError);
    QCOMPARE(console.LastErrorText, QString("before"));
    QCOMPARE(console.Timer2.interval(), 200);
    QCOMPARE(console.Timer3.interval(), RemoteConsole::SendLimitMs);
}

void AttachTest::wrongAnswerIsRetriedWithoutReconnect_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("ESC CR LF alone") << QByteArray("\x1b\r\n");
    QTest::newRow("letter first") << QByteArray("x\x1b\r\n>");
    QTest::newRow("no ESC") << QByteArray("\r\n>>");
    QTest::newRow("LF CR") << QByteArray("\x1b\n\r>");
}

void AttachTest::wrongAnswerIsRetriedWithoutReconnect()
{
    QFETCH(QByteArray, answer);
    TempStore settings;
    FakeUnit unit;
    unit.setResponder([answer](FakeUnit &u, char byte) {
        if (byte == kEsc)
            u.send(answer);
    });
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(unit.received(), QByteArray(5, kEsc));
    QCOMPARE(unit.connectionCount(), 1);
    QCOMPARE(console.LastErrorText, QString("before"));
}

void AttachTest::failingControlCommandEndsTheAttach()
{
    TempStore settings;
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char byte) {
        if (byte == 127)
            u.send("<");
        else
            FakeUnit::answerLikeUnit(u, byte);
    });
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(unit.received(), QByteArray("\x1b\x7f"));
    QCOMPARE(console.LastErrorText, QString("999:Unspported Command."));
    QVERIFY(!console.AtAfterError);
}

void AttachTest::shortFollowUpTo126FailsWithoutText()
{
    TempStore settings;
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char byte) {
        if (byte == 126) {
            u.send("\x7e");
            u.sendAfter(20, QByteArray(300, 'i'));
        } else {
            FakeUnit::answerLikeUnit(u, byte);
        }
    });
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(unit.received(), QByteArray("\x1b\x7f\x7e"));
    QCOMPARE(console.LastErrorText, QString("before"));
    QVERIFY(console.RecvTimedOut);
}

void AttachTest::silentUnitIsReconnectedFromTheFourthAttempt()
{
    TempStore settings;
    FakeUnit unit;
    unit.setResponder(FakeUnit::silent());
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(console.LastErrorText, QString("Can not Connected"));
    // Four attempts on the first connection, a fresh one for the fifth, and one more after the last.
    QTRY_COMPARE(unit.connectionCount(), 3);
    const QList<QByteArray> expected{QByteArray(4, kEsc), QByteArray(1, kEsc), QByteArray()};
    QCOMPARE(unit.receivedPerConnection(), expected);
    QCOMPARE(console.Winsock1.state(), QAbstractSocket::ConnectedState);
}

void AttachTest::fewTriesNeverReconnect()
{
    TempStore settings("200", "3");
    FakeUnit unit;
    unit.setResponder(FakeUnit::silent());
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(console.LastErrorText, QString("Can not Connected"));
    QCOMPARE(unit.received(), QByteArray(3, kEsc));
    QCOMPARE(unit.connectionCount(), 1);
    QCOMPARE(settings.attachTriesEntry(), QString("3"));
}

void AttachTest::unusableTriesAreRepaired_data()
{
    QTest::addColumn<QString>("stored"); // null: no entry
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QString>("afterwards");
    QTest::newRow("zero") << "0" << 5 << "5";
    QTest::newRow("negative") << "-1" << 5 << "5";
    QTest::newRow("not a number") << "x" << 5 << "5";
    QTest::newRow("beyond 16 bits") << "40000" << 5 << "5";
    QTest::newRow("missing") << QString() << 5 << "5";
    QTest::newRow("usable") << "2" << 2 << "2";
    QTest::newRow("blanks around") << " 2 " << 2 << "2";
}

// A unit whose every answer to ESC is wrong lets each attempt be counted on the wire.
void AttachTest::unusableTriesAreRepaired()
{
    QFETCH(QString, stored);
    QFETCH(int, attempts);
    QFETCH(QString, afterwards);
    TempStore settings("200", stored);
    FakeUnit unit;
    unit.setResponder([](FakeUnit &u, char) { u.send("???"); });
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(0));
    QCOMPARE(unit.received(), QByteArray(attempts, kEsc));
    QCOMPARE(settings.attachTriesEntry(), afterwards);
}

void AttachTest::unusableReceiveLimitIsRepaired_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("limit");
    QTest::newRow("zero") << "0" << 5000;
    QTest::newRow("negative") << "-1" << 5000;
    QTest::newRow("not a number") << "x" << 5000;
    QTest::newRow("beyond 16 bits") << "40000" << 5000;
    QTest::newRow("missing") << QString() << 5000;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("fraction") << "249.6" << 250;
}

void AttachTest::unusableReceiveLimitIsRepaired()
{
    QFETCH(QString, stored);
    QFETCH(int, limit);
    TempStore settings(stored, QString());
    FakeUnit unit;
    unit.setResponder(FakeUnit::wellBehaved('#'));
    RemoteConsole console(settings.store);

    QCOMPARE(attach(console, unit), qint16(1));
    QCOMPARE(console.Timer2.interval(), limit);
    QCOMPARE(settings.recvTimeoutEntry(), QString::number(limit));
    QCOMPARE(settings.attachTriesEntry(), QString("5"));
}

QTEST_GUILESS_MAIN(AttachTest)
#include "AttachTest.moc"
