#include "BatchPlan.h"
#include "BatchReport.h"

#include "HostAddressText.h"

QString BatchStepName(BatchStep step)
{
    switch (step) {
    case BatchStep::Assign:
        return QStringLiteral("assign");
    case BatchStep::Gateway:
        return QStringLiteral("gateway");
    case BatchStep::Mask:
        return QStringLiteral("mask");
    case BatchStep::NewPort:
        return QStringLiteral("new_port");
    case BatchStep::Check:
        return QStringLiteral("check");
    }
    return {};
}

ConsoleOp ConsoleOpFor(BatchStep step)
{
    switch (step) {
    case BatchStep::Gateway:
        return ConsoleOp::SetGW;
    case BatchStep::Mask:
        return ConsoleOp::SetSubnet;
    case BatchStep::NewPort:
        return ConsoleOp::SetPort;
    case BatchStep::Assign:
    case BatchStep::Check:
        break;
    }
    return ConsoleOp::ComCheck;
}

QList<BatchStep> PlanUnit::steps() const
{
    QList<BatchStep> order;
    if (!mac.isEmpty())
        order << BatchStep::Assign;
    if (!gateway.isEmpty())
        order << BatchStep::Gateway;
    if (!mask.isEmpty())
        order << BatchStep::Mask;
    if (!newPort.isEmpty())
        order << BatchStep::NewPort;
    if (check)
        order << BatchStep::Check;
    return order;
}

QString PlanUnit::checkPort() const
{
    return newPort.isEmpty() ? port : newPort;
}

QString PlanUnit::macAddress() const
{
    return QLatin1String(SlotMACPrefix) + '-' + mac;
}

QString PlanUnit::captureFileName() const
{
    return QStringLiteral("temp-%1.txt").arg(line);
}

QString ResultName(StepOutcome::Result result)
{
    switch (result) {
    case StepOutcome::Result::Pass:
        return QStringLiteral("pass");
    case StepOutcome::Result::Error:
        return QStringLiteral("error");
    case StepOutcome::Result::Skipped:
        return QStringLiteral("skipped");
    case StepOutcome::Result::Interrupted:
        return QStringLiteral("interrupted");
    }
    return {};
}
