// Keystroke rules and the port texts.
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

    // (The address texts are normalised through the dotted form's table.)
    void portsArePaddedToFourDigits()
    {
        for (const auto &[text, padded] :
             {std::pair{"1F", "001F"}, {"ABCD", "ABCD"}, {"12345", "2345"}, {"", "000"}})
            QCOMPARE(PadPortNo(text), QString(padded));
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "CoreTest.moc"
