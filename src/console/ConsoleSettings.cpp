#include "ConsoleSettings.h"

#include "SettingsStore.h"

#include <cmath>
#include <limits>

namespace
{

const QString kApplication = QStringLiteral("REMOTE");
const QString kTimeoutSection = QStringLiteral("TIMEOUT");
const QString kTimeoutKey = QStringLiteral("RESET");
const QString kRetrySection = QStringLiteral("RESET_RETRY");
const QString kRetryKey = QStringLiteral("NORMAL");
constexpr int kDefaultRecvTimeoutMs = 5000;
constexpr int kDefaultAttachTries = 5;

// Marks an entry that is not in the store at all, so that it gets written even though its default
// text is what it would hold.
const QString kAbsent = QStringLiteral("\x01absent");

struct StoredSetting {
    QString text;
    int value;
    bool needsWrite() const { return text != QString::number(value); }
};

StoredSetting readUsable(const SettingsStore &store, const QString &section, const QString &key,
                         int defaultValue)
{
    const QString text = store.read(kApplication, section, key, kAbsent);
    const qint16 value = storedInt16(text == kAbsent ? QString::number(defaultValue) : text);
    return {text, value < 1 ? defaultValue : value};
}

} // namespace

qint16 storedInt16(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    const double rounded = std::round(value);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return 0;
    return qint16(rounded);
}

ConsoleSettings loadConsoleSettings(SettingsStore &store)
{
    ConsoleSettings settings;
    const StoredSetting timeout = readUsable(store, kTimeoutSection, kTimeoutKey, kDefaultRecvTimeoutMs);
    const StoredSetting tries = readUsable(store, kRetrySection, kRetryKey, kDefaultAttachTries);
    settings.recvTimeoutMs = timeout.value;
    settings.attachTries = tries.value;
    // The store then holds the values in use. Rewriting text that is already there would change
    // nothing but cost a synced file replacement on every attach, so that is skipped.
    // A store that cannot be written changes nothing: the values in use stay as read.
    if (timeout.needsWrite() || tries.needsWrite())
        store.write(kApplication, {{kTimeoutSection, kTimeoutKey, QString::number(settings.recvTimeoutMs)},
                                   {kRetrySection, kRetryKey, QString::number(settings.attachTries)}});
    return settings;
}
