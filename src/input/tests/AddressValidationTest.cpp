#include "AddressValidation.h"

#include <QTest>

class AddressValidationTest : public QObject
{
    Q_OBJECT

private slots:
    void wellFormedAddressesGiveTwelveDigits_data();
    void wellFormedAddressesGiveTwelveDigits();
    void malformedAddressesGiveEmptyText_data();
    void malformedAddressesGiveEmptyText();
    void portsArePaddedToFourCharacters_data();
    void portsArePaddedToFourCharacters();
};

void AddressValidationTest::wellFormedAddressesGiveTwelveDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::newRow("private") << "192.168.0.1"
                             << "192168000001";
    QTest::newRow("leading zeros") << "001.002.003.004"
                                   << "001002003004";
    QTest::newRow("short octets") << "1.2.3.4"
                                  << "001002003004";
    QTest::newRow("empty first octet") << ".1.2.3"
                                       << "000001002003";
    QTest::newRow("all zero") << "0.0.0.0"
                              << "000000000000";
    QTest::newRow("broadcast") << "255.255.255.255"
                               << "255255255255";
    QTest::newRow("mask") << "255.255.255.0"
                          << "255255255000";
    // Decimal, never octal: the digits go into the form as typed.
    QTest::newRow("zero-led octet") << "10.010.08.09"
                                    << "010010008009";
}

void AddressValidationTest::wellFormedAddressesGiveTwelveDigits()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(ConvIPAddr(text), code);
}

void AddressValidationTest::malformedAddressesGiveEmptyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("double dot") << "1..2.3";
    QTest::newRow("trailing dot") << "1.2.3.";
    QTest::newRow("three octets") << "1.2.3";
    QTest::newRow("five octets") << "1.2.3.4.5";
    QTest::newRow("four-digit first") << "1234.1.1.1";
    QTest::newRow("four-digit last") << "1.2.3.1000";
    QTest::newRow("first above 255") << "256.1.1.1";
    QTest::newRow("last above 255") << "1.2.3.256";
    QTest::newRow("middle above 255") << "1.999.3.4";
    QTest::newRow("only dots") << "...";
    QTest::newRow("no dots") << "1234";
    QTest::newRow("empty middle after first") << ".1..3";
    // Text that cannot be typed but can come from the store or a paste: nothing but decimal digits
    // may reach a host command line.
    QTest::newRow("shell separator") << "1.2.3.4;";
    QTest::newRow("letter") << "1.2.3.a";
    QTest::newRow("plus sign") << "+1.2.3.4";
    QTest::newRow("minus sign") << "-1.2.3.4";
    QTest::newRow("leading blank") << " 1.2.3.4";
    QTest::newRow("trailing blank") << "1.2.3.4 ";
    QTest::newRow("blank octet") << "1.2. .4";
    QTest::newRow("ampersand") << "1.2.3.&";
    QTest::newRow("arabic-indic digit") << QString("1.2.3.") + QChar(0x0664);
    QTest::newRow("fullwidth digit") << QString("1.2.3.") + QChar(0xFF14);
    QTest::newRow("nul") << QString("1.2.3.") + QChar(0);
}

void AddressValidationTest::malformedAddressesGiveEmptyText()
{
    QFETCH(QString, text);
    QCOMPARE(ConvIPAddr(text), QString());
}

void AddressValidationTest::portsArePaddedToFourCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("padded");
    QTest::newRow("one digit") << "5"
                               << "0005";
    QTest::newRow("two digits") << "1F"
                                << "001F";
    QTest::newRow("full") << "ABCD"
                          << "ABCD";
    QTest::newRow("full numeric") << "8000"
                                  << "8000";
    QTest::newRow("too long keeps the last four") << "12345"
                                                  << "2345";
    QTest::newRow("empty") << ""
                           << "000";
}

void AddressValidationTest::portsArePaddedToFourCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, padded);
    QCOMPARE(PadPortNo(text), padded);
}

QTEST_APPLESS_MAIN(AddressValidationTest)
#include "AddressValidationTest.moc"
