// Plan files: every fault found with its line and column, a good plan read whatever its layout; the dry
// run's command lines; the report's quoting and its safe replacement of the file.
#include "BatchPlan.h"
#include "BatchReport.h"

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

    // Fields are quoted and formulas kept as text; a folder in the report's place is refused. (How the
    // file is replaced, links and modes included, is the settings store's, tested there.)
    void reportIsQuotedAndFormulasStayText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.csv"));
        const QDateTime started(QDate(2026, 12, 6), QTime(9, 5, 7, 42), Qt::OffsetFromUTC,
                                -(5 * 3600 + 30 * 60));
        const QList<StepOutcome> outcomes{
            {"a,b", BatchStep::Gateway, StepOutcome::Result::Error, "said \"no\"\r\nthen", started, 3012},
            {"=SUM(A1)", BatchStep::Check, StepOutcome::Result::Pass, "@x", started.toUTC(), 7},
            {"-1", BatchStep::NewPort, StepOutcome::Result::Skipped, "+1,2", {}, 0},
        };
        QString error;
        QVERIFY(WriteBatchReport(path, outcomes, &error));
        QCOMPARE(readAll(path), QByteArray("unit,step,result,text,started,duration_ms\r\n"
                                           "\"a,b\",gateway,error,\"said \"\"no\"\"\r\nthen\","
                                           "2026-12-06T09:05:07.042-05:30,3012\r\n"
                                           "'=SUM(A1),check,pass,'@x,2026-12-06T14:35:07.042+00:00,7\r\n"
                                           "'-1,new_port,skipped,\"'+1,2\",,0\r\n"));
        QVERIFY(!WriteBatchReport(dir.path(), {}, &error) && !error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(BatchPlanTest)
#include "BatchPlanTest.moc"
