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

int readUsable(const SettingsStore &store, const QString &section, const QString &key, int defaultValue)
{
    const qint16 value = storedInt16(store.read(kApplication, section, key, QString::number(defaultValue)));
    return value < 1 ? defaultValue : value;
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
    settings.recvTimeoutMs = readUsable(store, kTimeoutSection, kTimeoutKey, kDefaultRecvTimeoutMs);
    settings.attachTries = readUsable(store, kRetrySection, kRetryKey, kDefaultAttachTries);
    // A store that cannot be written changes nothing: the values in use stay as read.
    store.write(kApplication, {{kTimeoutSection, kTimeoutKey, QString::number(settings.recvTimeoutMs)},
                               {kRetrySection, kRetryKey, QString::number(settings.attachTries)}});
    return settings;
}
