// Keystroke rules and the address and port texts.
#include "AddressValidation.h"
#include "KeyFilters.h"

#include <QTest>

class CoreTest : public QObject
{
    Q_OBJECT

private slots:
    void keyRulesKeepConvertOrSwallow_data()
    {
        QTest::addColumn<KeyRule>("rule");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("port") << KeyRule(HexPortKeyRule) << QString("1f9G-. \r\b") << QString("1F9\b");
        QTest::newRow("MAC tail") << KeyRule(MacTailKeyRule) << QString("aB-c9x .\r") << QString("AB-C9");
        QTest::newRow("address") << KeyRule(FilterIPAddrKey) << QString("1a/- Z.9\r\b") << QString("1.9\b");
    }
    void keyRulesKeepConvertOrSwallow()
    {
        QFETCH(KeyRule, rule);
        QFETCH(QString, typed);
        QString result;
        for (const QChar ch : typed) {
            qint16 key = qint16(ch.unicode());
            rule(key);
            if (key != 0)
                result += QChar(key);
        }
        QTEST(result, "kept");
        // Codes outside ASCII are swallowed, also those whose low byte is an accepted character.
        for (int code : {-32768, -1, 128, 256 + '1', 0xFF11}) {
            qint16 key = qint16(code);
            rule(key);
            QCOMPARE(key, qint16(0));
        }
    }

    void addressesAndPortsAreNormalised_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port"); // null: not a port text
        const auto row = [](const char *text, const char *address, const char *port) {
            QTest::newRow(text) << QString(text) << QString(address) << QString(port);
        };
        row("1.2.3.4", "001002003004", nullptr);
        row("10.010.08.09", "010010008009", nullptr); // decimal, never octal
        row(".1.2.3", "000001002003", nullptr);
        for (const char *bad : {"1..2.3", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1234.1.1.1", "1.2.3.a",
                                "1.2.3.4;", " 1.2.3.4", "+1.2.3.4", "1.2.3.\uFF14"})
            row(bad, "", nullptr);
        row("1F", "", "001F");
        row("ABCD", "", "ABCD");
        row("12345", "", "2345");
        row("", "", "000");
    }
    void addressesAndPortsAreNormalised()
    {
        QFETCH(QString, text);
        QFETCH(QString, port);
        QTEST(ConvIPAddr(text), "address");
        if (!port.isNull())
            QCOMPARE(PadPortNo(text), port);
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "CoreTest.moc"
