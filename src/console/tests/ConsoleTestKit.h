#pragma once

#include "SettingsStore.h"

#include <QTemporaryDir>

// A settings store of its own in a temporary folder, holding the console's two settings as given (a
// null text leaves the entry out).
class TempStore
{
public:
    explicit TempStore(const QString &recvTimeoutMs = QStringLiteral("200"),
                       const QString &attachTries = QStringLiteral("5"))
        : store(m_dir.path())
    {
        if (!recvTimeoutMs.isNull())
            store.write("REMOTE", "TIMEOUT", "RESET", recvTimeoutMs);
        if (!attachTries.isNull())
            store.write("REMOTE", "RESET_RETRY", "NORMAL", attachTries);
    }

    QString recvTimeoutEntry() const { return store.read("REMOTE", "TIMEOUT", "RESET", "<missing>"); }
    QString attachTriesEntry() const { return store.read("REMOTE", "RESET_RETRY", "NORMAL", "<missing>"); }

private:
    QTemporaryDir m_dir;

public:
    SettingsStore store;
};

inline constexpr char kEsc = 27;
