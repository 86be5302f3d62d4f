#include "BatchRerun.h"

#include "BatchReport.h"
#include "CsvRecords.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

namespace
{

// The steps the report shows as not passed (error, skipped, interrupted), by the unit's label as the
// report writes it.
using UnfinishedSteps = QHash<QString, QSet<QString>>;

QString readUnfinishedSteps(const QString &path, UnfinishedSteps &unfinished)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "cannot be read: " + file.errorString();
    qsizetype unitAt = -1, stepAt = -1, resultAt = -1;
    bool header = true;
    CsvReader csv(
        [&](CsvRecord &&record) {
            const QStringList &fields = record.fields;
            if (std::exchange(header, false)) {
                unitAt = fields.indexOf(QStringLiteral("unit"));
                stepAt = fields.indexOf(QStringLiteral("step"));
                resultAt = fields.indexOf(QStringLiteral("result"));
                return;
            }
            if (unitAt >= 0 && stepAt >= 0 && resultAt >= 0 &&
                fields.value(resultAt) != ResultName(StepOutcome::Result::Pass))
                unfinished[fields.value(unitAt)].insert(fields.value(stepAt));
        },
        [](const CsvSyntaxError &) {});
    QStringDecoder decoder(QStringConverter::Utf8); // skips the byte-order mark
    while (!file.atEnd()) {
        const QString text = decoder.decode(file.read(qint64(64) * 1024));
        csv.feed(text);
    }
    csv.finish();
    if (decoder.hasError())
        return QStringLiteral("not a report of pelmora2-batch (not UTF-8 text)");
    if (unitAt < 0 || stepAt < 0 || resultAt < 0)
        return QStringLiteral("not a report of pelmora2-batch (it has no unit, step and result columns)");
    return {};
}

// The unit without its steps before from.
PlanUnit startingAt(PlanUnit unit, BatchStep from)
{
    const QList<BatchStep> steps = unit.steps();
    for (const BatchStep step : steps.mid(0, steps.indexOf(from))) {
        switch (step) {
        case BatchStep::Assign:
            unit.mac.clear();
            break;
        case BatchStep::Gateway:
            unit.gateway.clear();
            break;
        case BatchStep::Mask:
            unit.mask.clear();
            break;
        case BatchStep::NewPort:
            unit.port = unit.newPort; // the unit listens there now
            unit.newPort.clear();
            break;
        case BatchStep::Check:
            break;
        }
    }
    return unit;
}

} // namespace

BatchRerun SelectRerun(const PlanUnitList &units, const QString &reportPath)
{
    BatchRerun rerun;
    UnfinishedSteps unfinished;
    rerun.problem = readUnfinishedSteps(reportPath, unfinished);
    if (!rerun.problem.isEmpty())
        return rerun;
    for (const PlanUnit &unit : units) {
        const QSet<QString> left = unfinished.value(CsvCellText(unit.unit));
        for (const BatchStep step : unit.steps()) {
            if (!left.contains(BatchStepName(step)))
                continue;
            rerun.units.append(startingAt(unit, step));
            rerun.planned.append(unit);
            break;
        }
    }
    return rerun;
}
