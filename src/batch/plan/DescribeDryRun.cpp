#include "BatchPlan.h"

#include "AddressValidation.h"
#include "ConsoleRecipe.h"
#include "HeadlessView.h"
#include "HostAddressText.h"
#include "HostCommandLines.h"
#include "HostShell.h"
#include "HostText.h"

namespace
{

// Control characters in a command line written so that they can be seen: CR as <CR>, ESC as <ESC>...
QString visibleLine(const QByteArray &line)
{
    QString text;
    for (const char ch : line) {
        const auto code = static_cast<unsigned char>(ch);
        if (code == '\r')
            text += QStringLiteral("<CR>");
        else if (code == '\n')
            text += QStringLiteral("<LF>");
        else if (code == 0x1B)
            text += QStringLiteral("<ESC>");
        else if (code < 0x20 || code >= 0x7F)
            text += QStringLiteral("<%1>").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += QLatin1Char(ch);
    }
    return text;
}

const QString StepIndent = QStringLiteral("    ");
const QString DetailIndent = QStringLiteral("        ");

// The host commands of the IP pane's Set for this unit, in the order they run.
QString describeAssign(const PlanUnit &unit)
{
    const QString hostIp = decimalDottedAddress(unit.ip);
    const QString mac = unit.macAddress();
    const QString capture = HostShell::PlannedCapturePath(unit.captureFileName());
    const QString token = QStringLiteral("<interface> ");
    QString text = StepIndent + "assign: host commands, each through the command "
                                "interpreter after \"chcp 437 &&\":\n";
    for (const QString &command :
         {NeighborTableClearCommand(), HostShell::Redirected(InterfaceListCommand(), capture),
          HostShell::Redirected(InterfaceConfigCommand(token), capture),
          NetshNeighborCommand(token, hostIp, mac),
          HostShell::Redirected(AssignmentPingCommand(hostIp), capture),
          HostShell::Redirected(NeighborTableListCommand(), capture)})
        text += DetailIndent + command + '\n';
    text += DetailIndent +
            "<interface> is the index of the first connected host interface whose "
            "configuration mentions " +
            NetworkPrefix(hostIp) +
            ", known only at run time; its configuration is asked interface by interface.\n";
    text += DetailIndent + "A host before major version 6 runs " + ArpNeighborCommand(hostIp, mac) +
            " in place of the three netsh commands.\n";
    text += DetailIndent + "Passes when the ping is answered (a line with TTL=) and " + hostIp +
            " is in the listing.\n";
    return text;
}

QString connectionTarget(const QString &host, const QString &portText)
{
    const std::optional<quint16> port = portFromHexText(portText);
    return QStringLiteral("%1 port %2 (hex; %3 decimal)")
        .arg(decimalDottedHost(host), portText, port ? QString::number(*port) : QStringLiteral("?"));
}

// The step's recipe on the unit's own view, filled and padded as the run does it before it connects.
QString describeConsoleStep(const PlanUnit &unit, BatchStep step)
{
    const ConsoleRecipe &recipe = RecipeFor(ConsoleOpFor(step));
    HeadlessView view(unit);
    recipe.padFields(view, 0);
    const QString target =
        connectionTarget(view.fieldText(recipe.ipField, 0), view.fieldText(recipe.portField, 0));
    return StepIndent + BatchStepName(step) + ": connect to " + target +
           ", attach (<ESC> until the console answers <ESC><CR><LF> and its prompt, then the control "
           "commands the prompt selects), send " +
           visibleLine(recipe.commandLine(view, 0)) + QStringLiteral(", pause %1 ms\n").arg(recipe.pauseMs);
}

QString describeUnit(const PlanUnit &unit)
{
    const QList<BatchStep> steps = unit.steps();
    QString text = QStringLiteral("unit %1 (line %2): ").arg(unit.unit).arg(unit.line);
    if (steps.isEmpty())
        return text + "no steps\n";
    QStringList names;
    for (const BatchStep step : steps)
        names << BatchStepName(step);
    text += names.join(QStringLiteral(", ")) + '\n';
    for (const BatchStep step : steps)
        text += step == BatchStep::Assign ? describeAssign(unit) : describeConsoleStep(unit, step);
    return text;
}

} // namespace

QString DescribeDryRun(const BatchPlan &plan)
{
    QString text = QStringLiteral("Dry run of %1 units: nothing is sent and no host command runs.\n")
                       .arg(plan.units.size());
    for (const PlanUnit &unit : plan.units)
        text += '\n' + describeUnit(unit);
    return text;
}
