#include "BatchReport.h"

#include "CsvRecords.h"
#include "FileReplacement.h"

#include <QHash>

namespace
{

// One unit's row: how it ended and where it stands.
QStringList summaryRow(const PlanUnit &unit, const QList<const StepOutcome *> &outcomes)
{
    const StepOutcome *firstNotPassed = nullptr;
    QHash<BatchStep, bool> passed; // by step; a step without an outcome passed in an earlier run
    for (const StepOutcome *outcome : outcomes) {
        const bool pass = outcome->result == StepOutcome::Result::Pass;
        passed.insert(outcome->step, pass);
        if (!pass && !firstNotPassed)
            firstNotPassed = outcome;
    }
    const auto done = [&](BatchStep step, const QString &value) {
        return passed.value(step, true) ? value : QString();
    };
    const QString port =
        !unit.newPort.isEmpty() && passed.value(BatchStep::NewPort, true) ? unit.newPort : unit.port;
    QStringList row{unit.unit,
                    unit.ip,
                    port,
                    done(BatchStep::Gateway, unit.gateway),
                    done(BatchStep::Mask, unit.mask),
                    firstNotPassed ? ResultName(firstNotPassed->result)
                                   : ResultName(StepOutcome::Result::Pass),
                    firstNotPassed ? BatchStepName(firstNotPassed->step) : QString(),
                    firstNotPassed ? firstNotPassed->text : QString()};
    return row + unit.notes;
}

} // namespace

bool WriteBatchSummary(const QString &path, const PlanUnitList &units, const QStringList &noteColumns,
                       const QList<StepOutcome> &outcomes, QString *error)
{
    QHash<QString, QList<const StepOutcome *>> byUnit;
    for (const StepOutcome &outcome : outcomes)
        byUnit[outcome.unit].append(&outcome);
    QString text = QChar(0xFEFF) + CsvLine(QStringList{"unit", "ip", "port", "gateway", "mask", "result",
                                                       "failed_step", "text"} +
                                           noteColumns);
    for (const PlanUnit &unit : units)
        text += CsvLine(summaryRow(unit, byUnit.value(unit.unit)));
    QString reason;
    const bool written = ReplaceFileContent(path, text.toUtf8(), reason);
    if (!written && error)
        *error = reason;
    return written;
}
