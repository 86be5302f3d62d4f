#include "SlotTable.h"

#include "SettingsStore.h"

namespace
{

const QString Application = QStringLiteral("QV512");
const QString MACSection = QStringLiteral("MACAddress");
const QString IPSection = QStringLiteral("IPAddress");
const QString PortSection = QStringLiteral("PortNo");
const QString TickSection = QStringLiteral("Slot");

QString slotKey(int slot)
{
    return QStringLiteral("SLOT") + QString::number(slot);
}

} // namespace

qint16 TickStateFromText(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok && value == 1 ? 1 : 0;
}

void SlotTable::LoadSlotSettings(const SettingsStore &store)
{
    for (int i = 0; i < SlotCount; ++i) {
        const QString key = slotKey(i);
        SlotMAC[i] = store.read(Application, MACSection, key, QString());
        SlotIP[i] = store.read(Application, IPSection, key, QString());
        SlotPort[i] = store.read(Application, PortSection, key, QString());
        SlotTicked[i] = TickStateFromText(store.read(Application, TickSection, key, QStringLiteral("0")));
    }
}

bool SlotTable::SaveSlotSettings(SettingsStore &store) const
{
    QList<SettingsStore::Entry> entries;
    entries.reserve(qsizetype{4} * SlotCount);
    for (int i = 0; i < SlotCount; ++i) {
        const QString key = slotKey(i);
        entries.append({MACSection, key, SlotMAC[i]});
        entries.append({IPSection, key, SlotIP[i]});
        entries.append({PortSection, key, SlotPort[i]});
        entries.append({TickSection, key, QString::number(SlotTicked[i])});
    }
    return store.write(Application, entries);
}
