#include "BatchReport.h"

#include "CsvRecords.h"
#include "FileReplacement.h"

#include <QHash>

namespace
{

// ISO 8601 with milliseconds and the offset from UTC written out (+00:00, never Z); "" when the step
// never started.
QString startedText(const QDateTime &started)
{
    if (!started.isValid())
        return {};
    const int offset = started.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return started.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + (offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QByteArray reportText(const QList<StepOutcome> &outcomes)
{
    QString text = QChar(0xFEFF) + QStringLiteral("unit,ip,port,step,result,text,started,duration_ms\r\n");
    for (const StepOutcome &outcome : outcomes)
        text += CsvLine({outcome.unit, outcome.ip, outcome.port, BatchStepName(outcome.step),
                         ResultName(outcome.result), outcome.text, startedText(outcome.started),
                         QString::number(outcome.durationMs)});
    return text.toUtf8();
}

} // namespace

QString PlannedStepPort(const PlanUnit &unit, BatchStep step)
{
    switch (step) {
    case BatchStep::Assign:
        return {};
    case BatchStep::Check:
        return unit.checkPort();
    case BatchStep::Gateway:
    case BatchStep::Mask:
    case BatchStep::NewPort:
        break;
    }
    return unit.port;
}

void AddPlannedAddresses(const PlanUnitList &units, QList<StepOutcome> &outcomes)
{
    QHash<QString, qsizetype> byLabel;
    for (qsizetype index = 0; index < units.size(); ++index)
        byLabel.insert(units.label(index), index);
    for (StepOutcome &outcome : outcomes) {
        const auto found = byLabel.constFind(outcome.unit);
        if (found == byLabel.cend() || !outcome.ip.isEmpty())
            continue;
        const PlanUnit unit = units.at(*found);
        outcome.ip = unit.ip;
        outcome.port = PlannedStepPort(unit, outcome.step);
    }
}

// The program may run as root and a report folder such as /tmp is open to every user: the report
// replaces the file the way the settings are saved (never through a link into another owner's file).
bool WriteBatchReport(const QString &path, const QList<StepOutcome> &outcomes, QString *error)
{
    QString reason;
    const bool written = ReplaceFileContent(path, reportText(outcomes), reason);
    if (!written && error)
        *error = reason;
    return written;
}
