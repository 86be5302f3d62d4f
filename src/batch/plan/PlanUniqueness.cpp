#include "PlanUniqueness.h"

#include "AddressValidation.h"
#include "HostText.h"
#include "PlanColumns.h"

QList<PlanProblem> PlanUniqueness::claimLabel(const PlanUnit &unit)
{
    const auto earlier = m_labelLines.constFind(unit.unit);
    if (earlier == m_labelLines.cend()) {
        m_labelLines.insert(unit.unit, unit.line);
        return {};
    }
    return {{unit.line, PlanColumnName(PlanColumn::Unit),
             QStringLiteral("label \"%1\" already used on line %2 (labels must be unique)")
                 .arg(unit.unit)
                 .arg(*earlier)}};
}

// Two rows that reach the same console would work against each other at the same time: the address is
// compared by value (127.0.0.010 is 127.0.0.10), ports as numbers, and a new port is taken as well, since
// the unit answers there once it has moved.
QList<PlanProblem> PlanUniqueness::claimConsoles(const PlanUnit &unit)
{
    QList<PlanProblem> problems;
    const QString address = ConvIPAddr(unit.ip);
    if (address.size() != 12)
        return problems;
    claimConsole(unit, address, unit.port, false, problems);
    if (!unit.newPort.isEmpty())
        claimConsole(unit, address, unit.newPort, true, problems);
    return problems;
}

void PlanUniqueness::claimConsole(const PlanUnit &unit, const QString &address, const QString &portText,
                                  bool byNewPort, QList<PlanProblem> &problems)
{
    const std::optional<quint16> port = portFromHexText(portText);
    if (!portText.isEmpty() && !port)
        return;
    const quint64 key = address.toULongLong() << 17 | (port ? (quint64(1) << 16) | *port : 0);
    const auto earlier = m_consoles.constFind(key);
    if (earlier == m_consoles.cend()) {
        m_consoles.insert(key, {unit.line, unit.unit, byNewPort});
        return;
    }
    if (earlier->line == unit.line)
        return; // a new port that is the unit's own port
    const QString console =
        port ? QStringLiteral("%1 port %2 is already the %3 of")
                   .arg(decimalDottedAddress(unit.ip), PadPortNo(portText),
                        PlanColumnName(earlier->byNewPort ? PlanColumn::NewPort : PlanColumn::Port))
             : QStringLiteral("%1 is already the address of").arg(decimalDottedAddress(unit.ip));
    problems.append({unit.line, PlanColumnName(byNewPort ? PlanColumn::NewPort : PlanColumn::Ip),
                     QStringLiteral("%1 \"%2\" on line %3 (each unit needs its own address and port)")
                         .arg(console, earlier->label)
                         .arg(earlier->line)});
}
