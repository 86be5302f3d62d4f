// Plan files: a good plan read whatever its layout or encoding, every fault found with its line and column;
// each field check.
#include "BatchPlan.h"
#include "FileBytes.h"
#include "PlanFieldChecks.h"

#include <QTemporaryDir>
#include <QTest>

namespace
{

BatchPlan readPlanText(const QTemporaryDir &dir, const QByteArray &text)
{
    if (!writeBytes(dir.filePath("plan.csv"), text))
        qFatal("cannot write the plan");
    return ReadBatchPlan(dir.filePath("plan.csv"));
}

// A unit as "LINE LABEL IP CHECK-PORT STEPS|NOTES".
QString describe(const PlanUnit &unit)
{
    QStringList steps;
    for (const BatchStep step : unit.steps())
        steps << BatchStepName(step);
    return QString("%1 %2 %3 %4 %5|")
               .arg(unit.line)
               .arg(unit.unit, unit.ip, unit.checkPort(), steps.join('+')) +
           unit.notes.join('|');
}

} // namespace

class BatchPlanTest : public QObject
{
    Q_OBJECT

private slots:
    // A plan whatever its layout, and what Excel writes (empty fields at the row ends, note columns, CP932),
    // gives its units as "LINE LABEL IP CHECK-PORT STEPS|NOTES". Every fault is found as "LINE: COLUMN"
    // ("LINE:" for the file or a whole line), in order; the hint is part of the problems' text.
    void plansGiveTheirUnitsAndEveryFault_data()
    {
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QString>("hint");
        const auto row = [](const char *name, const QByteArray &plan, const QStringList &units,
                            const QStringList &problems, const QString &hint = {}) {
            QTest::newRow(name) << plan << units << problems << hint;
        };
        row("one fault per line",
            "Unit,IP,port,mac,gateway,mask,new_port,check,colour\n"
            "good,127.0.0.1,720,,,,,yes,\n"
            "bad-ip,127.0.0.256,2721,,,,,,\n"
            "\"two\r\nlines\",127.0.0.3,2722,,,,,,\n"
            "bad-port,127.0.0.4,27G0,,,,,,\n"
            "bad-mac,127.0.0.5,,1-23-456,,,,no,\n"
            "bad-gw,127.0.0.6,2723,,192.168.1,,,,\n"
            "bad-mask,127.0.0.7,2724,,,255.255.255.0.0,,,\n"
            "bad-new-port,127.0.0.8,2725,,,,12345,,\n"
            "bad-check,127.0.0.9,2726,,,,,maybe,\n"
            "nothing-to-do,127.0.0.99,,,,,,NO,\n"
            "good,127.0.0.10,2727,,,,,,\n"
            "same-unit,127.000.0.01,0720,,,,,,\n"
            "moves-onto,127.0.0.1,2741,,,,0720,,\n"
            "no-port,127.0.0.11,,,,,,,\n"
            "extra,127.0.0.12,2728,,,,,,,x\n"
            "not-utf8-\xff,127.0.0.13,2729,,,,,,\n"
            "after-quote,127.0.0.14,272A,,,,,\"yes\"s,\n"
            "in\"side,127.0.0.15,272B,,,,,,\n"
            "unclosed,\"127.0.0.16,272C,,,,,,\n"
            "swallowed,127.0.0.17,272D,,,,,,\n",
            {},
            {"1: colour", "3: ip", "4: unit", "6: port", "7: mac", "8: gateway", "9: mask", "10: new_port",
             "11: check", "12: check", "13: unit", "14: ip", "15: new_port", "16: port", "17: field 10",
             "18:", "19: check", "20: unit", "21: ip"});
        row("required columns missing", "IP,gateway\n127.0.0.1,10.0.0.1\n", {}, {"1: unit", "1: port"},
            "p:1: unit: required");
        row("lone CR line ends", "unit,ip,port\rA,127.0.0.1,2720\r\rB,1.2.3,2721\r", {}, {"4: ip"});
        row("header without rows", "unit,ip\r\n\r\n", {}, {"1:"});
        row("empty file", "\xEF\xBB\xBF\r\n", {}, {"1:"});
        row("column named twice", "unit,ip,IP\nA,127.0.0.1,127.0.0.2\n", {}, {"1: ip", "1: port"});
        row("text beyond the named columns", "unit,ip,port,,\r\na,127.0.0.1,2720,,x\r\n", {}, {"2: field 4"},
            "p:2: field 4: the row has 5 fields but the header names 3 columns");
        row("tabs", "unit\tip\tport\r\na\t127.0.0.1\t2720\r\n", {},
            {"1: field 1", "1: unit", "1: ip", "1: port"},
            "p:1: field 1: unknown column (expected one of unit, ip, port, mac, gateway, mask, new_port, "
            "check; "
            "fields are separated by commas, not tabs");
        row("any layout",
            "\xEF\xBB\xBF"
            "Check , NEW_PORT,Port,mac,ip,\"unit\",Mask,gateway\r\n"
            "no,,2720,ab-cd-ef,10.0.0.1,\"crate 1, \"\"top\"\"\",,\r\n"
            ",,,,,,,\r\n"
            " yes , 2a21 , 2722 ,,010.000.000.002,\"two\",255.255.0.0,10.0.0.254\r\n",
            {"2 crate 1, \"top\" 10.0.0.1 2720 assign|",
             "4 two 010.000.000.002 2A21 gateway+mask+new_port+check|"},
            {});
        row("empty fields at the ends",
            "unit,ip,port,,\r\na,127.0.0.1,2720,,\r\nb,127.0.0.2,2721\r\n,,,,\r\n",
            {"2 a 127.0.0.1 2720 check|", "3 b 127.0.0.2 2721 check|"}, {});
        row("note and comment columns",
            "Unit,NOTE,ip,port,Comment\r\n第1ラック-01,spare,127.0.0.1,2720,\"left, top\"\r\n",
            {"2 第1ラック-01 127.0.0.1 2720 check|spare|left, top"}, {});
        row("CP932",
            "unit,ip,port,note\r\n\x91\xe6"
            "1\x83\x89\x83"
            "b\x83N-01,127.0.0.1,2720,\x97\\\x94\xf5\r\n"
            "\x91\xe6"
            "1\x83\x89\x83"
            "b\x83N-02,127.0.0.2,2721,\x81`\x87@\r\n",
            {"2 第1ラック-01 127.0.0.1 2720 check|予備", "3 第1ラック-02 127.0.0.2 2721 check|～①"}, {});
    }
    void plansGiveTheirUnitsAndEveryFault()
    {
        QFETCH(QByteArray, plan);
        QFETCH(QString, hint);
        QTemporaryDir dir;
        const BatchPlan read = readPlanText(dir, plan);
        QStringList units, problems;
        for (const PlanUnit &unit : read.units)
            units << describe(unit);
        for (const PlanProblem &problem : read.problems) {
            problems << (problem.line > 0 ? QString::number(problem.line) + ':' : QString()) +
                            (problem.column.isEmpty() ? QString() : ' ' + problem.column);
            const QString text = FormatPlanProblem("p", problem);
            QVERIFY2(!problem.reason.isEmpty() && text.startsWith("p:" + problems.last()), qPrintable(text));
        }
        QTEST(units, "units");
        QTEST(problems, "problems");
        QVERIFY2(PlanProblemLines("p", read).join('\n').contains(hint),
                 qPrintable(PlanProblemLines("p", read).join('\n')));
        QCOMPARE(!read.encodingNote.isEmpty(), QByteArray(QTest::currentDataTag()) == "CP932");
    }

    // Each accepted text with the value the window's field would hold, each refused one with its reason
    // (the plans above read the usual texts).
    void fieldChecksActAsTheWindowsFields()
    {
        using Check = FieldCheck (*)(const QString &);
        const Check address = [](const QString &text) { return CheckAddress(text, "an IPv4 address", true); };
        const Check optionalAddress = [](const QString &text) { return CheckAddress(text, "a mask", false); };
        const struct {
            Check check;
            QString text, value; // value "!reason start" when refused
        } cases[] = {
            {CheckLabel, "", "!empty"},
            {CheckLabel, "a\tb", "!holds a line break"},
            {address, "", "!empty (expected an IPv4 address"},
            {address, "1.2.3.256", "!not an IPv4 address"},
            {optionalAddress, "", ""},
            {optionalAddress, "1.2.3", "!not a mask"},
            {CheckConsolePort, "", ""},
            {CheckConsolePort, "12345", "!not a console port"},
            {CheckMacTail, "ab-cd-0f", "AB-CD-0F"},
            {CheckMacTail, "ab-cd", "!not a MAC tail"},
            {CheckMacTail, "ab:cd:ef", "!not a MAC tail"},
            {CheckYesNo, "y", "!neither yes nor no"},
        };
        for (const auto &c : cases) {
            const FieldCheck result = c.check(c.text);
            const QString found = result.ok() ? result.value : '!' + result.problem;
            QVERIFY2(c.value.startsWith('!') ? found.startsWith(c.value) : found == c.value,
                     qPrintable(c.text + " -> " + found));
        }
    }

    // A plan of many bad rows lists its first problems and counts the rest.
    void problemsBeyondTheFirstAreCounted()
    {
        QByteArray text = "unit,ip,port\n";
        for (int i = 0; i < 150; ++i)
            text += "same,127.0.0.1,2720\n";
        QTemporaryDir dir;
        const BatchPlan plan = readPlanText(dir, text);
        QCOMPARE(plan.problems.size(), BatchPlan::MaxListedProblems);
        QCOMPARE(plan.problems.last().line, 52); // two per repeated row: label and console
        QVERIFY(plan.units.isEmpty());
        QCOMPARE(PlanProblemLines("p.csv", plan).last(), QStringLiteral("p.csv: … and 198 more"));
    }
};

QTEST_GUILESS_MAIN(BatchPlanTest)
#include "BatchPlanTest.moc"
