// Plan files: every fault found with its line and column, a good plan read whatever its layout or
// encoding; each field check; the dry run's command lines; the report's and the summary's bytes; what a
// re-run takes from an earlier report.
#include "BatchPlan.h"
#include "BatchReport.h"
#include "BatchRerun.h"
#include "PlanFieldChecks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

BatchPlan readPlanText(const QTemporaryDir &dir, const QByteArray &text)
{
    writeFile(dir.filePath(QStringLiteral("plan.csv")), text);
    return ReadBatchPlan(dir.filePath(QStringLiteral("plan.csv")));
}

StepOutcome outcome(const QString &unit, BatchStep step, StepOutcome::Result result, const QString &text = {},
                    const QDateTime &started = {}, qint64 durationMs = 0)
{
    StepOutcome made;
    made.unit = unit;
    made.step = step;
    made.result = result;
    made.text = text;
    made.started = started;
    made.durationMs = durationMs;
    return made;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class BatchPlanTest : public QObject
{
    Q_OBJECT

private slots:
    // Each expected problem is "LINE: COLUMN" (or "LINE:" for the file or a whole line), in order.
    void everyProblemIsFoundWithItsLineAndColumn_data()
    {
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one fault per line")
            << QByteArray("Unit,IP,port,mac,gateway,mask,new_port,check,colour\n"
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
                          "swallowed,127.0.0.17,272D,,,,,,\n")
            << QStringList{"1: colour",  "3: ip",     "4: unit",      "6: port",   "7: mac",
                           "8: gateway", "9: mask",   "10: new_port", "11: check", "12: check",
                           "13: unit",   "14: ip",    "15: new_port", "16: port",  "17: field 10",
                           "18:",        "19: check", "20: unit",     "21: ip"};
        QTest::newRow("required columns missing")
            << QByteArray("IP,gateway\n127.0.0.1,10.0.0.1\n") << QStringList{"1: unit", "1: port"};
        QTest::newRow("lone CR line ends")
            << QByteArray("unit,ip,port\rA,127.0.0.1,2720\r\rB,1.2.3,2721\r") << QStringList{"4: ip"};
        QTest::newRow("header without rows") << QByteArray("unit,ip\r\n\r\n") << QStringList{"1:"};
        QTest::newRow("empty file") << QByteArray("\xEF\xBB\xBF\r\n") << QStringList{"1:"};
        QTest::newRow("column named twice")
            << QByteArray("unit,ip,IP\nA,127.0.0.1,127.0.0.2\n") << QStringList{"1: ip", "1: port"};
    }
    void everyProblemIsFoundWithItsLineAndColumn()
    {
        QFETCH(QByteArray, plan);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const BatchPlan read = readPlanText(dir, plan);
        QStringList found;
        for (const PlanProblem &problem : read.problems) {
            const QString text = FormatPlanProblem(QStringLiteral("p.csv"), problem);
            QVERIFY2(!problem.reason.isEmpty(), qPrintable(text));
            found << (problem.line > 0 ? QString::number(problem.line) + ':' : QString()) +
                         (problem.column.isEmpty() ? QString() : ' ' + problem.column);
            QVERIFY2(text.startsWith("p.csv:" + found.last()), qPrintable(text));
        }
        QCOMPARE(found, expected);
    }

    void goodPlanIsReadWhateverItsLayout()
    {
        QTemporaryDir dir;
        const BatchPlan plan = readPlanText(dir, "\xEF\xBB\xBF"
                                                 "Check , NEW_PORT,Port,mac,ip,\"unit\",Mask,gateway\r\n"
                                                 "no,,2720,ab-cd-ef,10.0.0.1,\"crate 1, \"\"top\"\"\",,\r\n"
                                                 ",,,,,,,\r\n"
                                                 " yes , 2a21 , 2722 ,,010.000.000.002,\"two\",255.255.0.0,"
                                                 "10.0.0.254\r\n");
        QVERIFY(plan.problems.isEmpty());
        QCOMPARE(plan.units.size(), 2);
        const PlanUnit &first = plan.units[0];
        QCOMPARE(first.line, 2);
        QCOMPARE(first.unit, QStringLiteral("crate 1, \"top\""));
        QCOMPARE(first.macAddress(), QStringLiteral("0A-00-3C-AB-CD-EF"));
        QCOMPARE(first.steps(), QList<BatchStep>{BatchStep::Assign});
        const PlanUnit &second = plan.units[1];
        QCOMPARE(second.line, 4);
        QCOMPARE(second.ip, QStringLiteral("010.000.000.002"));
        QCOMPARE(second.checkPort(), QStringLiteral("2A21"));
        QCOMPARE(second.steps(), (QList<BatchStep>{BatchStep::Gateway, BatchStep::Mask, BatchStep::NewPort,
                                                   BatchStep::Check}));
    }

    // Each accepted text with the value the window's field would hold, each refused one with its reason.
    void fieldChecksActAsTheWindowsFields()
    {
        using Check = FieldCheck (*)(const QString &);
        const Check address = [](const QString &text) { return CheckAddress(text, "an IPv4 address", true); };
        const Check optionalAddress = [](const QString &text) { return CheckAddress(text, "a mask", false); };
        const struct {
            Check check;
            QString text, value; // value "!reason start" when refused
        } cases[] = {
            {CheckLabel, "第1ラック-01", "第1ラック-01"},
            {CheckLabel, "", "!empty"},
            {CheckLabel, "a\tb", "!holds a line break"},
            {address, "010.0.0.255", "010.0.0.255"},
            {address, "", "!empty (expected an IPv4 address"},
            {address, "1.2.3.256", "!not an IPv4 address"},
            {optionalAddress, "", ""},
            {optionalAddress, "1.2.3", "!not a mask"},
            {CheckConsolePort, "2a2f", "2A2F"},
            {CheckConsolePort, "", ""},
            {CheckConsolePort, "12345", "!not a console port"},
            {CheckConsolePort, "2g", "!not a console port"},
            {CheckMacTail, "ab-cd-0f", "AB-CD-0F"},
            {CheckMacTail, "ab-cd", "!not a MAC tail"},
            {CheckMacTail, "ab:cd:ef", "!not a MAC tail"},
            {CheckYesNo, "", "yes"},
            {CheckYesNo, "NO", "no"},
            {CheckYesNo, "y", "!neither yes nor no"},
        };
        for (const auto &c : cases) {
            const FieldCheck result = c.check(c.text);
            const QString found = result.ok() ? result.value : '!' + result.problem;
            QVERIFY2(c.value.startsWith('!') ? found.startsWith(c.value) : found == c.value,
                     qPrintable(c.text + " -> " + found));
        }
    }

    // What Excel writes: empty fields at the row ends, note columns, CP932; what it cannot mean is still
    // refused with a hint. Units as "label|notes"; problems as "LINE: COLUMN: reason start".
    void plansAsExcelWritesThem_data()
    {
        QTest::addColumn<QByteArray>("plan");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("empty fields at the ends")
            << QByteArray("unit,ip,port,,\r\na,127.0.0.1,2720,,\r\nb,127.0.0.2,2721\r\n,,,,\r\n")
            << QStringList{"a|", "b|"} << QStringList{};
        QTest::newRow("note and comment columns")
            << QByteArray("Unit,NOTE,ip,port,Comment\r\n第1ラック-01,spare,127.0.0.1,2720,\"left, top\"\r\n")
            << QStringList{"第1ラック-01|spare|left, top"} << QStringList{};
        QTest::newRow("CP932") << QByteArray("unit,ip,port,note\r\n"
                                             "\x91\xe6"
                                             "1\x83\x89\x83"
                                             "b\x83N-01,127.0.0.1,2720,\x97\\\x94\xf5\r\n"
                                             "\x91\xe6"
                                             "1\x83\x89\x83"
                                             "b\x83N-02,127.0.0.2,2721,\x81`\x87@\r\n")
                               << QStringList{"第1ラック-01|予備", "第1ラック-02|～①"} << QStringList{};
        QTest::newRow("neither UTF-8 nor CP932") << QByteArray("unit,ip,port\r\nA\x81 B,127.0.0.1,2720\r\n")
                                                 << QStringList{} << QStringList{"2: not UTF-8 text"};
        QTest::newRow("text beyond the named columns")
            << QByteArray("unit,ip,port,,\r\na,127.0.0.1,2720,,x\r\n") << QStringList{}
            << QStringList{"2: field 4: the row has 5 fields but the header names 3 columns"};
        QTest::newRow("tabs") << QByteArray("unit\tip\tport\r\na\t127.0.0.1\t2720\r\n") << QStringList{}
                              << QStringList{
                                     "1: field 1: unknown column (expected one of unit, ip, port, mac, "
                                     "gateway, mask, new_port, check; fields are separated by commas, "
                                     "not tabs",
                                     "1: unit: required", "1: ip: required", "1: port: required"};
    }
    void plansAsExcelWritesThem()
    {
        QFETCH(QByteArray, plan);
        QFETCH(QStringList, units);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        const BatchPlan read = readPlanText(dir, plan);
        QStringList found;
        for (const PlanUnit &unit : read.units)
            found << unit.unit + '|' + unit.notes.join('|');
        QCOMPARE(found, units);
        QCOMPARE(read.problems.size(), problems.size());
        for (qsizetype i = 0; i < problems.size(); ++i) {
            const QString text = FormatPlanProblem("p", read.problems[i]).mid(2);
            QVERIFY2(text.startsWith(problems[i]), qPrintable(text));
        }
        QCOMPARE(!read.encodingNote.isEmpty(), QByteArray(QTest::currentDataTag()) == "CP932");
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

    void dryRunShowsEveryLineAUnitWouldSend()
    {
        QTemporaryDir dir;
        const BatchPlan plan =
            readPlanText(dir, "unit,ip,port,mac,gateway,mask,new_port\n"
                              "all,127.000.0.01,2720,12-34-56,192.168.0.254,255.255.255.0,2a21\n");
        QVERIFY(plan.problems.isEmpty());
        const QString text = DescribeDryRun(plan);
        // In the order they run; the interface token keeps its blank before the address.
        const QStringList lines{
            "unit all (line 2): assign, gateway, mask, new_port, check",
            "        arp -d\n",
            "        netsh interface ip set neighbors <interface>  127.0.0.1 0A-00-3C-12-34-56\n",
            "        ping 127.0.0.1 >> ",
            "/QV512.XXXXXX/temp-2.txt'\n", // the folder each run makes for itself
            "        arp -a >> ",
            "arp -s 127.0.0.1 0A-00-3C-12-34-56",
            "gateway: connect to 127.0.0.1 port 2720 (hex; 10016 decimal)",
            "send UE3192/168/000/254<CR>U<CR>, pause 3000 ms",
            "send UE4255/255/255/000<CR>U<CR>, pause 3000 ms",
            "send UE2 2A21<CR>U<CR>, pause 3000 ms",
            "check: connect to 127.0.0.1 port 2A21 (hex; 10785 decimal)",
            "send UE1<CR>U<CR>, pause 1000 ms",
        };
        qsizetype from = 0;
        for (const QString &line : lines) {
            const qsizetype at = text.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable("missing or out of order: " + line + "\nin:\n" + text));
            from = at + line.size();
        }
    }

    // Report and summary: byte-order mark, CR LF, fields quoted and formulas kept as text, the address and
    // port of each step, a Japanese label as written; a folder in the file's place is refused. (How the
    // file is replaced, links and modes included, is the settings store's, tested there.)
    void reportAndSummaryBytes()
    {
        QTemporaryDir dir;
        const BatchPlan plan = readPlanText(dir, "unit,ip,port,new_port,gateway,mask,note\n"
                                                 "\"a,b\",127.0.0.1,2720,2a21,10.0.0.254,,x\n"
                                                 "=SUM(A1),127.0.0.2,2720,,10.0.0.254,255.0.0.0,\n"
                                                 "第1ラック-01,127.0.0.3,2720,,,,\"=1\"\n");
        QVERIFY(plan.problems.isEmpty());
        const QDateTime started(QDate(2026, 12, 6), QTime(9, 5, 7, 42), Qt::OffsetFromUTC,
                                -(5 * 3600 + 30 * 60));
        using R = StepOutcome::Result;
        QList<StepOutcome> outcomes{
            outcome("a,b", BatchStep::Gateway, R::Pass, "ok", started, 3012),
            outcome("a,b", BatchStep::NewPort, R::Pass, "moved", started, 3012),
            outcome("a,b", BatchStep::Check, R::Error, "said \"no\"\r\nthen", started.toUTC(), 7),
            outcome("=SUM(A1)", BatchStep::Gateway, R::Pass, "@x", started, 1),
            outcome("=SUM(A1)", BatchStep::Mask, R::Error, "Time Out Error!", started, 1),
            outcome("=SUM(A1)", BatchStep::Check, R::Skipped, "+1,2", {}, 0),
            outcome("第1ラック-01", BatchStep::Check, R::Pass, "fine", started, 5),
        };
        outcomes.last().ip = "127.0.0.9"; // as a step that found the unit elsewhere would give
        outcomes.last().port = "2A21";
        AddPlannedAddresses(plan.units, outcomes);
        const QString report = dir.filePath("report.csv"), summary = dir.filePath("summary.csv");
        QString error;
        QVERIFY(WriteBatchReport(report, outcomes, &error));
        QCOMPARE(readAll(report),
                 "\xEF\xBB\xBFunit,ip,port,step,result,text,started,duration_ms\r\n"
                 "\"a,b\",127.0.0.1,2720,gateway,pass,ok,2026-12-06T09:05:07.042-05:30,3012\r\n"
                 "\"a,b\",127.0.0.1,2720,new_port,pass,moved,2026-12-06T09:05:07.042-05:30,3012\r\n"
                 "\"a,b\",127.0.0.1,2A21,check,error,\"said \"\"no\"\"\r\nthen\","
                 "2026-12-06T14:35:07.042+00:00,7\r\n"
                 "'=SUM(A1),127.0.0.2,2720,gateway,pass,'@x,2026-12-06T09:05:07.042-05:30,1\r\n"
                 "'=SUM(A1),127.0.0.2,2720,mask,error,Time Out Error!,2026-12-06T09:05:07.042-05:30,1\r\n"
                 "'=SUM(A1),127.0.0.2,2720,check,skipped,\"'+1,2\",,0\r\n"
                 "第1ラック-01,127.0.0.9,2A21,check,pass,fine,2026-12-06T09:05:07.042-05:30,5\r\n");
        QVERIFY(WriteBatchSummary(summary, plan.units, plan.noteColumns, outcomes, &error));
        QCOMPARE(readAll(summary),
                 "\xEF\xBB\xBFunit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                 "\"a,b\",127.0.0.1,2A21,10.0.0.254,,error,check,\"said \"\"no\"\"\r\nthen\",x\r\n"
                 "'=SUM(A1),127.0.0.2,2720,10.0.0.254,,error,mask,Time Out Error!,\r\n"
                 "第1ラック-01,127.0.0.3,2720,,,pass,,,'=1\r\n");
        QVERIFY(!WriteBatchReport(dir.path(), {}, &error) && !error.isEmpty());
        QVERIFY(!WriteBatchSummary(dir.path(), {}, {}, {}, &error) && !error.isEmpty());
    }

    // A re-run takes each unit with a row that did not pass, from that step on; a re-run's own report
    // (which names only what it ran) serves the next one the same way.
    void rerunStartsWhereTheReportStopped()
    {
        QTemporaryDir dir;
        const BatchPlan plan = readPlanText(dir, "unit,ip,port,mac,gateway,mask,new_port\n"
                                                 "done,127.0.0.1,2720,,10.0.0.1,,\n"
                                                 "=mask,127.0.0.2,2720,12-34-56,10.0.0.1,255.0.0.0,2A21\n"
                                                 "moved,127.0.0.3,2720,,,,2A21\n"
                                                 "absent,127.0.0.4,2720,,,,\n"
                                                 "cut,127.0.0.5,2720,12-34-56,,,\n");
        QVERIFY(plan.problems.isEmpty());
        using R = StepOutcome::Result;
        using S = BatchStep;
        const QList<StepOutcome> earlier{
            outcome("done", S::Gateway, R::Pass),   outcome("done", S::Check, R::Pass),
            outcome("=mask", S::Assign, R::Pass),   outcome("=mask", S::Gateway, R::Pass),
            outcome("=mask", S::Mask, R::Error),    outcome("=mask", S::NewPort, R::Skipped),
            outcome("=mask", S::Check, R::Skipped), outcome("moved", S::NewPort, R::Pass),
            outcome("moved", S::Check, R::Error),   outcome("cut", S::Assign, R::Skipped),
            outcome("cut", S::Check, R::Skipped),
        };
        const QString report = dir.filePath("report.csv");
        QString error;
        QVERIFY(WriteBatchReport(report, earlier, &error));
        const BatchRerun rerun = SelectRerun(plan.units, report);
        QVERIFY2(rerun.problem.isEmpty(), qPrintable(rerun.problem));
        QStringList found;
        for (qsizetype i = 0; i < rerun.units.size(); ++i) {
            const PlanUnit &unit = rerun.units[i];
            QStringList steps;
            for (const BatchStep step : unit.steps())
                steps << BatchStepName(step);
            found << QString("%1 %2 %3 %4").arg(unit.unit, unit.port, steps.join('+'), rerun.planned[i].port);
        }
        QCOMPARE(found, (QStringList{"=mask 2720 mask+new_port+check 2720", "moved 2A21 check 2720",
                                     "cut 2720 assign+check 2720"}));

        QVERIFY(WriteBatchReport(report, {outcome("=mask", S::Mask, R::Pass)}, &error));
        QCOMPARE(SelectRerun(plan.units, report).units.size(), 0);
        writeFile(report, "\xEF\xBB\xBFunit,ip\r\n");
        QVERIFY(SelectRerun(plan.units, report).problem.startsWith("not a report"));
    }
};

QTEST_GUILESS_MAIN(BatchPlanTest)
#include "BatchPlanTest.moc"
