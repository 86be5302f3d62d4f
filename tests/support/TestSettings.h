#pragma once

#include "SettingsStore.h"

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
