#include "BatchSummary.h"

#include <QStringList>
#include <algorithm>

namespace
{

bool hasResult(const QList<StepOutcome> &outcomes, StepOutcome::Result result)
{
    return std::any_of(outcomes.cbegin(), outcomes.cend(),
                       [result](const StepOutcome &outcome) { return outcome.result == result; });
}

} // namespace

UnitResult UnitResultOf(const QList<StepOutcome> &unitOutcomes)
{
    if (hasResult(unitOutcomes, StepOutcome::Result::Error))
        return UnitResult::Failed;
    if (hasResult(unitOutcomes, StepOutcome::Result::Interrupted))
        return UnitResult::Interrupted;
    if (unitOutcomes.isEmpty() || hasResult(unitOutcomes, StepOutcome::Result::Skipped))
        return UnitResult::Skipped;
    return UnitResult::Passed;
}

QString SummaryText(const QList<StepOutcome> &outcomes, qint64 elapsedMs)
{
    QStringList lines;
    int counts[4] = {0, 0, 0, 0}; // by UnitResult
    int units = 0;
    // The outcomes of one unit are adjacent, in plan order.
    for (qsizetype first = 0; first < outcomes.size();) {
        qsizetype end = first;
        while (end < outcomes.size() && outcomes.at(end).unit == outcomes.at(first).unit)
            ++end;
        const QList<StepOutcome> unitOutcomes = outcomes.mid(first, end - first);
        ++counts[int(UnitResultOf(unitOutcomes))];
        ++units;
        for (const StepOutcome &outcome : unitOutcomes) {
            if (outcome.result == StepOutcome::Result::Error)
                lines << QStringLiteral("FAILED %1 %2: %3")
                             .arg(outcome.unit, BatchStepName(outcome.step), outcome.text);
        }
        first = end;
    }
    const int interrupted = counts[int(UnitResult::Interrupted)];
    lines << QStringLiteral("Units: %1 passed, %2 failed, %3%4 skipped, %5 in all; total time %6 s")
                 .arg(counts[int(UnitResult::Passed)])
                 .arg(counts[int(UnitResult::Failed)])
                 .arg(interrupted ? QStringLiteral("%1 interrupted, ").arg(interrupted) : QString())
                 .arg(counts[int(UnitResult::Skipped)])
                 .arg(units)
                 .arg(double(elapsedMs) / 1000.0, 0, 'f', 1);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
