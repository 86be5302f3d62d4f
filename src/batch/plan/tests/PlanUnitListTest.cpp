// The packed units of a plan give back every text exactly as the plan reader left it, in whatever form it
// was written, and stay apart from one another.
#include "PlanUnitList.h"

#include <QTest>

namespace
{

PlanUnit unit(int line, const QString &label, const QStringList &fields, bool check = true,
              const QStringList &notes = {})
{
    PlanUnit made;
    made.line = line;
    made.unit = label;
    made.ip = fields.value(0);
    made.port = fields.value(1);
    made.mac = fields.value(2);
    made.gateway = fields.value(3);
    made.mask = fields.value(4);
    made.newPort = fields.value(5);
    made.check = check;
    made.notes = notes;
    return made;
}

// Every field of the unit, so that a comparison names what differs.
QString described(const PlanUnit &u)
{
    return QString("%1, %2, %3, %4, %5, %6, %7, %8, %9, ")
               .arg(QString::number(u.line), u.unit, u.ip, u.port, u.mac, u.gateway, u.mask, u.newPort,
                    QString(u.check ? "yes" : "no")) +
           QString::number(u.notes.size()) + ":" + u.notes.join('|');
}

} // namespace

class PlanUnitListTest : public QObject
{
    Q_OBJECT

private slots:
    void unitsComeBackAsWritten()
    {
        const QList<PlanUnit> units = {
            unit(2, "rack-1", {"10.0.0.1", "2720", "AB-CD-EF", "10.0.0.254", "255.255.255.0", "2721"}),
            // Leading zeros: the address as typed, the port with its digits.
            unit(3, "第1ラック-01", {"010.000.000.002", "00A", "", "0.0.0.0", "255.255.255.255", "0"}, false),
            unit(4, "crate 1, \"top\"", {"127.0.0.10", "0000"}, true, {"", "spare"}),
            unit(5, "", {"1.2.3.4", "FFFF", "00-00-0F"}, true, {""}),
            // What the checks would never pass on is still kept as written.
            unit(6, "odd", {"1.2.3.4 ", "2a2f", "ab-cd-ef", "1.2.3", "x", "12345"}, true, {"予備", "①"}),
            unit(70000, "line", {"256.1.1.1", "", "", "", "", ""}, true, {"spare"}),
        };
        PlanUnitList packed;
        for (const PlanUnit &one : units)
            packed.append(one);
        QCOMPARE(packed.size(), units.size());
        for (qsizetype i = 0; i < units.size(); ++i) {
            QCOMPARE(described(packed.at(i)), described(units.at(i)));
            QCOMPARE(packed.label(i), units.at(i).unit);
        }
        QStringList iterated;
        for (const PlanUnit &one : packed)
            iterated << one.unit;
        QCOMPARE(iterated.size(), units.size());

        // A copy keeps its units when the original is cleared and used again.
        const PlanUnitList copy = packed;
        packed.clear();
        QVERIFY(packed.isEmpty());
        packed.append(units.at(1));
        QCOMPARE(described(copy.at(5)), described(units.at(5)));
        QCOMPARE(described(packed.at(0)), described(units.at(1)));
    }
};

QTEST_MAIN(PlanUnitListTest)
#include "PlanUnitListTest.moc"
