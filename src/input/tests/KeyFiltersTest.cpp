#include "KeyFilters.h"

#include <QTest>

// Each rule is checked against every code a key press can carry, not only the printable ones: the
// rules take a 16-bit signed code, so negative codes and codes above ASCII must be swallowed as well.
class KeyFiltersTest : public QObject
{
    Q_OBJECT

private slots:
    void everyCodeIsKeptConvertedOrSwallowed_data();
    void everyCodeIsKeptConvertedOrSwallowed();
};

namespace
{

struct RuleCase {
    KeyRule rule;
    QByteArray kept;      // codes left as they are
    QByteArray converted; // codes replaced by the upper-case letter
};

const QByteArray HexDigits = "0123456789ABCDEF";
const QByteArray Backspace = "\b";

} // namespace

Q_DECLARE_METATYPE(RuleCase)

void KeyFiltersTest::everyCodeIsKeptConvertedOrSwallowed_data()
{
    QTest::addColumn<RuleCase>("rule");
    QTest::newRow("FilterHexKey") << RuleCase{FilterHexKey, HexDigits + "abcdef" + Backspace, ""};
    QTest::newRow("FilterIPAddrKey") << RuleCase{FilterIPAddrKey, "0123456789." + Backspace, ""};
    QTest::newRow("HexPortKeyRule") << RuleCase{HexPortKeyRule, HexDigits + Backspace, "abcdef"};
    QTest::newRow("MacTailKeyRule") << RuleCase{MacTailKeyRule, HexDigits + "-" + Backspace, "abcdef"};
}

void KeyFiltersTest::everyCodeIsKeptConvertedOrSwallowed()
{
    QFETCH(RuleCase, rule);
    for (int code = -32768; code <= 32767; ++code) {
        qint16 key = static_cast<qint16>(code);
        rule.rule(key);
        qint16 expected = 0;
        if (code >= 0 && code < 128 && rule.kept.contains(char(code)))
            expected = static_cast<qint16>(code);
        else if (code >= 0 && code < 128 && rule.converted.contains(char(code)))
            expected = static_cast<qint16>(code - 'a' + 'A');
        if (key != expected)
            QFAIL(qPrintable(QString("code %1 gave %2, expected %3").arg(code).arg(key).arg(expected)));
    }
}

QTEST_APPLESS_MAIN(KeyFiltersTest)
#include "KeyFiltersTest.moc"
