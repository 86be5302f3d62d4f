// What a plan makes: the dry run's command lines; the report's and the summary's bytes, and what a re-run
// takes from a report.
#include "BatchReport.h"
#include "BatchPlan.h"
#include "BatchRerun.h"
#include "FileBytes.h"

#include <QTemporaryDir>
#include <QTest>

class BatchReportTest : public QObject
{
    Q_OBJECT

private slots:
    void dryRunShowsEveryLineAUnitWouldSend()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("plan.csv"),
                           "unit,ip,port,mac,gateway,mask,new_port\n"
                           "all,127.000.0.01,2720,12-34-56,192.168.0.254,255.255.255.0,2a21\n"));
        const BatchPlan plan = ReadBatchPlan(dir.filePath("plan.csv"));
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
    // file is replaced, links and modes included, is the settings store's, tested there.) A re-run of the
    // report takes each unit with a row that did not pass, from that step on; a re-run's own report
    // (which names only what it ran) serves the next one the same way.
    void reportSummaryAndRerun()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("plan.csv"), "unit,ip,port,new_port,gateway,mask,mac,note\n"
                                                     "\"a,b\",127.0.0.1,2720,2a21,10.0.0.254,,,x\n"
                                                     "=SUM(A1),127.0.0.2,2720,,10.0.0.254,255.0.0.0,,\n"
                                                     "第1ラック-01,127.0.0.3,2720,,,,,\"=1\"\n"
                                                     "cut,127.0.0.4,2720,,,,12-34-56,\n"
                                                     "absent,127.0.0.5,2720,,,,,\n"));
        const BatchPlan plan = ReadBatchPlan(dir.filePath("plan.csv"));
        QVERIFY(plan.problems.isEmpty());
        const QDateTime started(QDate(2026, 12, 6), QTime(9, 5, 7, 42), Qt::OffsetFromUTC,
                                -(5 * 3600 + 30 * 60));
        using R = StepOutcome::Result;
        using S = BatchStep;
        QList<StepOutcome> outcomes{
            {"a,b", S::Gateway, R::Pass, "ok", started, 3012, {}, {}},
            {"a,b", S::NewPort, R::Pass, "moved", started, 3012, {}, {}},
            {"a,b", S::Check, R::Error, "said \"no\"\r\nthen", started.toUTC(), 7, {}, {}},
            {"=SUM(A1)", S::Gateway, R::Pass, "@x", started, 1, {}, {}},
            {"=SUM(A1)", S::Mask, R::Error, "Time Out Error!", started, 1, {}, {}},
            {"=SUM(A1)", S::Check, R::Skipped, "+1,2", {}, 0, {}, {}},
            // As a step that found the unit elsewhere would give.
            {"第1ラック-01", S::Check, R::Pass, "fine", started, 5, "127.0.0.9", "2A21"},
            {"cut", S::Assign, R::Skipped, "skipped: interrupted", {}, 0, {}, {}},
            {"cut", S::Check, R::Skipped, "skipped: interrupted", {}, 0, {}, {}},
        };
        AddPlannedAddresses(plan.units, outcomes);
        const QString report = dir.filePath("report.csv"), summary = dir.filePath("summary.csv");
        QString error;
        QVERIFY(WriteBatchReport(report, outcomes, &error));
        QCOMPARE(fileBytes(report),
                 "\xEF\xBB\xBFunit,ip,port,step,result,text,started,duration_ms\r\n"
                 "\"a,b\",127.0.0.1,2720,gateway,pass,ok,2026-12-06T09:05:07.042-05:30,3012\r\n"
                 "\"a,b\",127.0.0.1,2720,new_port,pass,moved,2026-12-06T09:05:07.042-05:30,3012\r\n"
                 "\"a,b\",127.0.0.1,2A21,check,error,\"said \"\"no\"\"\r\nthen\","
                 "2026-12-06T14:35:07.042+00:00,7\r\n"
                 "'=SUM(A1),127.0.0.2,2720,gateway,pass,'@x,2026-12-06T09:05:07.042-05:30,1\r\n"
                 "'=SUM(A1),127.0.0.2,2720,mask,error,Time Out Error!,2026-12-06T09:05:07.042-05:30,1\r\n"
                 "'=SUM(A1),127.0.0.2,2720,check,skipped,\"'+1,2\",,0\r\n"
                 "第1ラック-01,127.0.0.9,2A21,check,pass,fine,2026-12-06T09:05:07.042-05:30,5\r\n"
                 "cut,127.0.0.4,,assign,skipped,skipped: interrupted,,0\r\n"
                 "cut,127.0.0.4,2720,check,skipped,skipped: interrupted,,0\r\n");
        QVERIFY(WriteBatchSummary(summary, plan.units, plan.noteColumns, outcomes, &error));
        QCOMPARE(fileBytes(summary),
                 "\xEF\xBB\xBFunit,ip,port,gateway,mask,result,failed_step,text,note\r\n"
                 "\"a,b\",127.0.0.1,2A21,10.0.0.254,,error,check,\"said \"\"no\"\"\r\nthen\",x\r\n"
                 "'=SUM(A1),127.0.0.2,2720,10.0.0.254,,error,mask,Time Out Error!,\r\n"
                 "第1ラック-01,127.0.0.3,2720,,,pass,,,'=1\r\n"
                 "cut,127.0.0.4,2720,,,skipped,assign,skipped: interrupted,\r\n"
                 "absent,127.0.0.5,2720,,,pass,,,\r\n");
        QVERIFY(!WriteBatchReport(dir.path(), {}, &error) && !error.isEmpty());
        QVERIFY(!WriteBatchSummary(dir.path(), {}, {}, {}, &error) && !error.isEmpty());

        const BatchRerun rerun = SelectRerun(plan.units, report);
        QVERIFY2(rerun.problem.isEmpty(), qPrintable(rerun.problem));
        QStringList found;
        for (qsizetype i = 0; i < rerun.units.size(); ++i) {
            QStringList steps;
            for (const BatchStep step : rerun.units[i].steps())
                steps << BatchStepName(step);
            found << QString("%1 %2 %3 %4")
                         .arg(rerun.units[i].unit, rerun.units[i].port, steps.join('+'),
                              rerun.planned[i].port);
        }
        QCOMPARE(found, (QStringList{"a,b 2A21 check 2720", "=SUM(A1) 2720 mask+check 2720",
                                     "cut 2720 assign+check 2720"}));
        QVERIFY(WriteBatchReport(report, {{"=SUM(A1)", S::Mask, R::Pass, {}, {}, 0, {}, {}}}, &error));
        QCOMPARE(SelectRerun(plan.units, report).units.size(), 0);
        QVERIFY(writeBytes(report, "\xEF\xBB\xBFunit,ip\r\n"));
        QVERIFY(SelectRerun(plan.units, report).problem.startsWith("not a report"));
    }
};

QTEST_GUILESS_MAIN(BatchReportTest)
#include "BatchReportTest.moc"
