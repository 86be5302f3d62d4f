#include "PlanProblemList.h"

#include <algorithm>

void PlanProblemList::add(const PlanProblem &problem)
{
    QList<PlanProblem> &listed = m_plan.problems;
    const auto at = std::upper_bound(listed.begin(), listed.end(), problem.line,
                                     [](int line, const PlanProblem &p) { return line < p.line; });
    m_plan.units.clear(); // a plan with a problem never runs
    if (listed.size() >= BatchPlan::MaxListedProblems && at == listed.end()) {
        ++m_plan.moreProblems;
        return;
    }
    listed.insert(at, problem);
    if (listed.size() > BatchPlan::MaxListedProblems) {
        listed.removeLast();
        ++m_plan.moreProblems;
    }
}

void PlanProblemList::add(const QList<PlanProblem> &problems)
{
    for (const PlanProblem &problem : problems)
        add(problem);
}

QString FormatPlanProblem(const QString &planPath, const PlanProblem &problem)
{
    QString text = planPath + ':';
    if (problem.line > 0)
        text += QString::number(problem.line) + ':';
    text += ' ';
    if (!problem.column.isEmpty())
        text += problem.column + QStringLiteral(": ");
    return text + problem.reason;
}

QStringList PlanProblemLines(const QString &planPath, const BatchPlan &plan)
{
    QStringList lines;
    for (const PlanProblem &problem : plan.problems)
        lines << FormatPlanProblem(planPath, problem);
    if (plan.moreProblems > 0)
        lines << QStringLiteral("%1: … and %2 more").arg(planPath).arg(plan.moreProblems);
    return lines;
}
