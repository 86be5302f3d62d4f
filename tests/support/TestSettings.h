#pragma once

#include "SettingsStore.h"

#include <QSettings>
#include <initializer_list>
#include <utility>

// Console limits through the real REMOTE settings, by default short enough that a silent unit or a
// missing echo fails quickly: the receive limit in ms and the ESC attempts; a null text writes no entry.
inline void setConsoleLimits(SettingsStore &store, const QString &receiveLimitMs = "300",
                             const QString &attempts = "2")
{
    if (!receiveLimitMs.isNull())
        store.write("REMOTE", "TIMEOUT", "RESET", receiveLimitMs);
    if (!attempts.isNull())
        store.write("REMOTE", "RESET_RETRY", "NORMAL", attempts);
}

// One slot's entries of the stored slot table, as a window would have saved them: section and value.
inline void seedSlot(SettingsStore &store, int slot,
                     std::initializer_list<std::pair<const char *, QString>> entries)
{
    for (const auto &[section, value] : entries)
        store.write("QV512", section, QStringLiteral("SLOT%1").arg(slot), value);
}

// What the slot table file holds for a slot, read past the store; "<absent>" when there is no entry.
inline QString savedSlot(const SettingsStore &store, const char *section, int slot)
{
    const QSettings ini(store.iniPath("QV512"), QSettings::IniFormat);
    return ini.value(QStringLiteral("%1/SLOT%2").arg(section).arg(slot), "<absent>").toString();
}
