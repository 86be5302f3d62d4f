#include "PlanUnitList.h"

#include <algorithm>
#include <optional>

namespace
{

// An address in its plain form (decimal octets without leading zeros) as its 32-bit value.
std::optional<quint32> packedAddress(const QString &text)
{
    const QStringList octets = text.split(QLatin1Char('.'));
    if (octets.size() != 4)
        return std::nullopt;
    quint32 value = 0;
    for (const QString &octet : octets) {
        const bool plain = !octet.isEmpty() && octet.size() <= 3 && (octet.size() == 1 || octet[0] != '0') &&
                           std::all_of(octet.cbegin(), octet.cend(), [](QChar ch) {
                               return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
                           });
        const uint number = plain ? octet.toUInt() : 256;
        if (number > 255)
            return std::nullopt;
        value = value << 8 | number;
    }
    return value;
}

QString unpackedAddress(quint32 value)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value >> 24)
        .arg(value >> 16 & 255)
        .arg(value >> 8 & 255)
        .arg(value & 255);
}

bool upperHex(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar ch) {
        return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ||
               (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
    });
}

// One to four upper-case hex digits as their value, with their count above it.
std::optional<quint32> packedPort(const QString &text)
{
    if (text.isEmpty() || text.size() > 4 || !upperHex(text))
        return std::nullopt;
    return text.toUInt(nullptr, 16) | quint32(text.size()) << 16;
}

QString unpackedPort(quint32 value)
{
    return QString::number(value & 0xFFFF, 16).toUpper().rightJustified(int(value >> 16), QLatin1Char('0'));
}

// A MAC tail XX-XX-XX in upper-case hex as its three bytes.
std::optional<quint32> packedMac(const QString &text)
{
    if (text.size() != 8 || text[2] != '-' || text[5] != '-')
        return std::nullopt;
    const QString digits = text.left(2) + text.mid(3, 2) + text.right(2);
    return upperHex(digits) ? std::optional<quint32>(digits.toUInt(nullptr, 16)) : std::nullopt;
}

QString unpackedMac(quint32 value)
{
    const auto octet = [value](int shift) {
        return QStringLiteral("%1").arg(value >> shift & 255, 2, 16, QLatin1Char('0')).toUpper();
    };
    return octet(16) + '-' + octet(8) + '-' + octet(0);
}

} // namespace

PlanUnitList::PlanUnitList(std::initializer_list<PlanUnit> units)
{
    for (const PlanUnit &unit : units)
        append(unit);
}

void PlanUnitList::pack(PackedUnit &packed, Slot slot, const QString &text)
{
    std::optional<quint32> value;
    if (!text.isEmpty()) {
        if (slot == Port || slot == NewPort)
            value = packedPort(text);
        else if (slot == Mac)
            value = packedMac(text);
        else
            value = packedAddress(text);
    }
    Kept kept = Kept::Packed;
    if (text.isEmpty()) {
        kept = Kept::Empty;
    } else if (!value) {
        kept = Kept::Written;
        value = m_shared.add(m_texts, text.toUtf8());
    }
    packed.fields[slot] = value.value_or(0);
    packed.kept = quint16(packed.kept | quint16(kept) << (2 * slot));
}

QString PlanUnitList::unpack(const PackedUnit &packed, Slot slot) const
{
    const quint32 value = packed.fields[slot];
    switch (Kept(packed.kept >> (2 * slot) & 3)) {
    case Kept::Empty:
        return {};
    case Kept::Written:
        return m_texts.text(value);
    case Kept::Packed:
        break;
    }
    if (slot == Port || slot == NewPort)
        return unpackedPort(value);
    return slot == Mac ? unpackedMac(value) : unpackedAddress(value);
}

void PlanUnitList::append(const PlanUnit &unit)
{
    PackedUnit packed;
    packed.line = unit.line;
    packed.unit = m_texts.add(unit.unit);
    packed.check = unit.check;
    const std::pair<Slot, const QString *> fields[] = {{Ip, &unit.ip},           {Gateway, &unit.gateway},
                                                       {Mask, &unit.mask},       {Port, &unit.port},
                                                       {NewPort, &unit.newPort}, {Mac, &unit.mac}};
    for (const auto &[slot, text] : fields)
        pack(packed, slot, *text);
    packed.notes = NoNotes;
    if (!unit.notes.isEmpty()) {
        PlanTextArena notes; // each note with its length, then the whole as one shared text
        for (const QString &note : unit.notes)
            notes.add(note);
        packed.notes = m_shared.add(m_texts, notes.all());
    }
    m_units.append(packed);
}

void PlanUnitList::clear()
{
    m_units.clear();
    m_units.squeeze();
    m_texts.clear();
    m_shared.clear();
}

PlanUnit PlanUnitList::at(qsizetype index) const
{
    const PackedUnit &packed = m_units.at(index);
    PlanUnit unit;
    unit.line = packed.line;
    unit.unit = m_texts.text(packed.unit);
    unit.ip = unpack(packed, Ip);
    unit.gateway = unpack(packed, Gateway);
    unit.mask = unpack(packed, Mask);
    unit.port = unpack(packed, Port);
    unit.newPort = unpack(packed, NewPort);
    unit.mac = unpack(packed, Mac);
    unit.check = packed.check;
    if (packed.notes != NoNotes)
        unit.notes = PlanTextArena::texts(m_texts.bytes(packed.notes));
    return unit;
}
