// The one dotted form of an address that sockets and host commands get.
#include "AddressValidation.h"

#include <QTest>

class DottedAddressTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTypedTextHasOneDottedForm_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("dotted"); // "": refused
        const auto row = [](const char *typed, const char *dotted) {
            QTest::newRow(typed) << QString(typed) << QString(dotted);
        };
        row("192.168.0.20", "192.168.0.20");
        row("010.000.000.001", "10.0.0.1"); // decimal: "010" is ten, never eight
        row("00.08.09.255", "0.8.9.255");
        row(".1.2.3", "0.1.2.3"); // an empty first octet counts as 0 in the address checks as well
        for (const char *refused : {"", "1..2.3", "1.2.3.", "1.2.3.4.", "1.2.3", "1.2.3.4.5", "1.2.3.256",
                                    "0001.2.3.4", "1.2.3.0004", " 1.2.3.4", "1.2.3.4 ", "1.2.3.-4",
                                    "+1.2.3.4", "1.2.3.a", "1.2.3.\uFF14", "host"})
            row(refused, "");
    }
    void everyTypedTextHasOneDottedForm()
    {
        QFETCH(QString, typed);
        QTEST(decimalDottedAddress(typed), "dotted");
    }
};

QTEST_APPLESS_MAIN(DottedAddressTest)
#include "DottedAddressTest.moc"
