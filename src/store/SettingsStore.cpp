#include "SettingsStore.h"

#include <QSettings>
#include <memory>

namespace {

const char *const Organization = "Pelmora2";

QString entryName(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString &iniRoot) : m_iniRoot(iniRoot) {}

QString SettingsStore::iniPath(const QString &application) const
{
    if (!m_iniRoot.isEmpty())
        return m_iniRoot + QLatin1Char('/') + QLatin1String(Organization) + QLatin1Char('/') + application +
               QStringLiteral(".ini");
#ifdef Q_OS_WIN
    return {};
#else
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QLatin1String(Organization), application)
        .fileName();
#endif
}

// A fresh QSettings per call: a value edited by hand in the file is seen by the next read.
static std::unique_ptr<QSettings> openStore(const SettingsStore &store, const QString &application)
{
#ifdef Q_OS_WIN
    const QString path = store.iniPath(application);
    if (path.isEmpty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QLatin1String(Organization), application);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
#else
    return std::make_unique<QSettings>(store.iniPath(application), QSettings::IniFormat);
#endif
}

QString SettingsStore::read(const QString &application, const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const auto settings = openStore(*this, application);
    const QVariant value = settings->value(entryName(section, key));
    if (!value.isValid())
        return defaultValue;
    // A value holding a comma reads back as a list; keep the text the user stored.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool SettingsStore::write(const QString &application, const QString &section, const QString &key,
                          const QString &value)
{
    return write(application, {Entry{section, key, value}});
}

bool SettingsStore::write(const QString &application, const QList<Entry> &entries)
{
    const auto settings = openStore(*this, application);
    for (const Entry &entry : entries)
        settings->setValue(entryName(entry.section, entry.key), entry.value);
    settings->sync(); // QSettings saves INI files through QSaveFile: old or new file, never a torn one
    return settings->status() == QSettings::NoError;
}
