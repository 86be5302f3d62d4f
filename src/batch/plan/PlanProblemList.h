#pragma once

#include "BatchPlan.h"

// The problems of a plan as they are found: the first BatchPlan::MaxListedProblems by line (in the order
// found within a line) are kept in the plan, the rest only counted. A plan with a problem keeps no units.
class PlanProblemList
{
public:
    explicit PlanProblemList(BatchPlan &plan) : m_plan(plan) {}

    void add(const PlanProblem &problem);
    void add(const QList<PlanProblem> &problems);
    bool any() const { return !m_plan.problems.isEmpty(); }

private:
    BatchPlan &m_plan;
};
