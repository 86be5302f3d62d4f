#include "ConsoleTestKit.h"
#include "FakeUnit.h"
#include "RemoteConsole.h"

#include <QElapsedTimer>
#include <QTest>

// The echoed command exchange after an attach, against a fake unit over loopback TCP. The store's
// receive limit is 200 ms.
class CommandTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void echoedCommandPasses();
    void crAnsweredByCrAloneTimesOut();
    void errorReplyGivesTheUnitsText_data();
    void errorReplyGivesTheUnitsText();
    void unsupportedMarkLosesToTheEcho_data();
    void unsupportedMarkLosesToTheEcho();
    void otherCharactersAreCarriedUntilTheEcho();
    void errorTextStartsWithTheCarriedCharacters();
    void echoTogetherWithErrorMarkIsAnError();
    void longChatterKeepsOnlyItsNewestPartForTheErrorText();
    void whatArrivedBeforeTheCommandIsDiscarded();
    void emptyCommandSendsNothing();
    void withoutConnectionTimesOutAtOnce();

private:
    // Attaches to m_unit; a prompt of '.' makes the console send "@" after an error reply.
    void attach(char prompt);
    qint16 command(const QByteArray &text);

    TempStore m_settings;
    std::unique_ptr<FakeUnit> m_unit;
    std::unique_ptr<RemoteConsole> m_console;
};

void CommandTest::init()
{
    m_unit = std::make_unique<FakeUnit>();
    m_console = std::make_unique<RemoteConsole>(m_settings.store);
}

void CommandTest::attach(char prompt)
{
    m_unit->setResponder(FakeUnit::wellBehaved(prompt));
    QCOMPARE(m_console->SockConnect("127.0.0.1", m_unit->portText()), qint16(0));
    QCOMPARE(m_console->ConsoleAttach("127.0.0.1", m_unit->portText()), qint16(1));
    m_unit->clearReceived();
    m_console->LastErrorText = "before";
}

qint16 CommandTest::command(const QByteArray &text)
{
    return m_console->ConsoleCommand(text);
}

void CommandTest::echoedCommandPasses()
{
    attach('#');
    QCOMPARE(command("UE1\rU\r"), qint16(0));
    QCOMPARE(m_unit->received(), QByteArray("UE1\rU\r"));
    QCOMPARE(m_console->LastErrorText, QString("before"));
}

void CommandTest::crAnsweredByCrAloneTimesOut()
{
    attach('#');
    m_unit->setResponder([](FakeUnit &u, char byte) { u.send(QByteArray(1, byte)); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(command("UE1\rU\r"), qint16(1));
    QVERIFY(clock.elapsed() >= 200);
    QCOMPARE(m_console->LastErrorText, QString("Time Out Error!"));
    QCOMPARE(m_unit->received(), QByteArray("UE1\r")); // nothing after the failing character
    QVERIFY(m_console->RecvTimedOut);
}

void CommandTest::errorReplyGivesTheUnitsText_data()
{
    QTest::addColumn<char>("prompt");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("plain") << '#' << QByteArray("UE1");
    QTest::newRow("with @ after an accepted 127") << '.' << QByteArray("UE1@");
}

void CommandTest::errorReplyGivesTheUnitsText()
{
    QFETCH(char, prompt);
    QFETCH(QByteArray, wire);
    attach(prompt);
    m_unit->setResponder([](FakeUnit &u, char byte) {
        if (byte == '1')
            u.send("%NGX\r");
        else if (byte != '@')
            FakeUnit::answerLikeUnit(u, byte);
    });
    QCOMPARE(command("UE1\rU\r"), qint16(1));
    QCOMPARE(m_console->LastErrorText, QString("%NGX"));
    QTRY_COMPARE(m_unit->received(), wire);
}

void CommandTest::unsupportedMarkLosesToTheEcho_data()
{
    QTest::addColumn<QByteArray>("answerToU");
    QTest::addColumn<qint16>("result");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("mark alone") << QByteArray("<") << qint16(1) << QByteArray("U")
                                << "999:Unspported Command.";
    QTest::newRow("mark with echo") << QByteArray("<U") << qint16(0) << QByteArray("UE1\rU\r") << "before";
}

void CommandTest::unsupportedMarkLosesToTheEcho()
{
    QFETCH(QByteArray, answerToU);
    QFETCH(qint16, result);
    QFETCH(QByteArray, wire);
    QFETCH(QString, errorText);
    attach('#');
    m_unit->setResponder([first = true, answerToU](FakeUnit &u, char byte) mutable {
        if (byte == 'U' && first)
            u.send(answerToU);
        else
            FakeUnit::answerLikeUnit(u, byte);
        first = false;
    });
    QCOMPARE(command("UE1\rU\r"), result);
    QCOMPARE(m_unit->received(), wire);
    QCOMPARE(m_console->LastErrorText, errorText);
}

void CommandTest::otherCharactersAreCarriedUntilTheEcho()
{
    attach('#');
    m_unit->setResponder([](FakeUnit &u, char byte) {
        if (byte == 'E') {
            u.send("x");
            u.sendAfter(30, "E");
        } else {
            FakeUnit::answerLikeUnit(u, byte);
        }
    });
    QCOMPARE(command("UE1\rU\r"), qint16(0));
    QCOMPARE(m_unit->received(), QByteArray("UE1\rU\r"));
    QCOMPARE(m_console->LastErrorText, QString("before"));
}

// Carried text is dropped by an echo: only what came for the failing character starts the error text.
void CommandTest::errorTextStartsWithTheCarriedCharacters()
{
    attach('#');
    m_unit->setResponder([](FakeUnit &u, char byte) {
        if (byte == 'U') {
            u.send("a");
            u.sendAfter(30, "U");
        } else if (byte == 'E') {
            u.send("xy");
            u.sendAfter(30, "%ERR\r");
        } else {
            FakeUnit::answerLikeUnit(u, byte);
        }
    });
    QCOMPARE(command("UE1\r"), qint16(1));
    QCOMPARE(m_console->LastErrorText, QString("xy%ERR"));
}

void CommandTest::echoTogetherWithErrorMarkIsAnError()
{
    attach('#');
    m_unit->setResponder([](FakeUnit &u, char byte) {
        if (byte == 'E')
            u.send("E%BAD\r");
        else
            FakeUnit::answerLikeUnit(u, byte);
    });
    QCOMPARE(command("UE1\r"), qint16(1));
    QCOMPARE(m_console->LastErrorText, QString("E%BAD"));
    QCOMPARE(m_unit->received(), QByteArray("UE"));
}

void CommandTest::longChatterKeepsOnlyItsNewestPartForTheErrorText()
{
    attach('#');
    const QByteArray chatter = QByteArray(3 * RemoteConsole::CarriedTextLimit, 'a') + "end";
    m_unit->setResponder([chatter](FakeUnit &u, char byte) {
        if (byte == 'E') {
            u.send(chatter);
            u.sendAfter(50, "%E9\r");
        } else {
            FakeUnit::answerLikeUnit(u, byte);
        }
    });
    QCOMPARE(command("UE1\r"), qint16(1));
    const QString expected = QString(RemoteConsole::CarriedTextLimit - 3, u'a') + "end%E9";
    QCOMPARE(m_console->LastErrorText, expected);
}

void CommandTest::whatArrivedBeforeTheCommandIsDiscarded()
{
    attach('#');
    m_unit->send("%OLD\r<");
    QTRY_COMPARE(m_console->Winsock1.bytesAvailable(), qint64(6));
    QCOMPARE(command("UE1\r"), qint16(0));
    QCOMPARE(m_console->LastErrorText, QString("before"));
}

void CommandTest::emptyCommandSendsNothing()
{
    attach('#');
    m_unit->send("junk");
    QTRY_COMPARE(m_console->Winsock1.bytesAvailable(), qint64(4));
    QCOMPARE(command(QByteArray()), qint16(0));
    QCOMPARE(m_console->Winsock1.bytesAvailable(), qint64(0)); // the flush still ran
    QTest::qWait(50);
    QCOMPARE(m_unit->received(), QByteArray());
}

void CommandTest::withoutConnectionTimesOutAtOnce()
{
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(command("UE1\r"), qint16(1));
    QVERIFY(clock.elapsed() < 100);
    QCOMPARE(m_console->LastErrorText, QString("Time Out Error!"));
}

QTEST_GUILESS_MAIN(CommandTest)
#include "CommandTest.moc"
