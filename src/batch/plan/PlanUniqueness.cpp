#include "PlanUniqueness.h"

#include "AddressValidation.h"
#include "HostText.h"
#include "PlanColumns.h"

#include <algorithm>

PlanUniqueness::LabelSlot &PlanUniqueness::knownLabel(const QString &label)
{
    if (2 * (m_labelCount + 1) > qsizetype(m_labelSlots.size())) {
        std::vector<LabelSlot> old(std::max<std::size_t>(64, 2 * m_labelSlots.size()));
        old.swap(m_labelSlots);
        for (const LabelSlot &slot : old) {
            if (slot.at == 0)
                continue;
            std::size_t at = qHash(m_labels.bytes(slot.at - 1)) & (m_labelSlots.size() - 1);
            while (m_labelSlots[at].at != 0)
                at = (at + 1) & (m_labelSlots.size() - 1);
            m_labelSlots[at] = slot;
        }
    }
    const QByteArray utf8 = label.toUtf8();
    std::size_t at = qHash(QByteArrayView(utf8)) & (m_labelSlots.size() - 1);
    while (m_labelSlots[at].at != 0) {
        if (m_labels.bytes(m_labelSlots[at].at - 1) == QByteArrayView(utf8))
            return m_labelSlots[at];
        at = (at + 1) & (m_labelSlots.size() - 1);
    }
    ++m_labelCount;
    m_labelSlots[at].at = m_labels.add(QByteArrayView(utf8)) + 1;
    return m_labelSlots[at];
}

QList<PlanProblem> PlanUniqueness::claimLabel(const PlanUnit &unit)
{
    LabelSlot &known = knownLabel(unit.unit);
    if (known.line == 0) {
        known.line = unit.line;
        return {};
    }
    return {{unit.line, PlanColumnName(PlanColumn::Unit),
             QStringLiteral("label \"%1\" already used on line %2 (labels must be unique)")
                 .arg(unit.unit)
                 .arg(known.line)}};
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
        m_consoles.insert(key, {unit.line, knownLabel(unit.unit).at - 1, byNewPort});
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
                         .arg(console, m_labels.text(earlier->label))
                         .arg(earlier->line)});
}
