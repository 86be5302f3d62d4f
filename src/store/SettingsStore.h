#pragma once

#include <QList>
#include <QString>

// The per-user settings store: text values addressed by application, section and key.
// On Windows it is the registry under HKEY_CURRENT_USER\Software\Pelmora2\<application>\<section>;
// elsewhere one INI file per application, <config dir>/Pelmora2/<application>.ini.
// Every write reaches the disk before write() returns, and replaces the file atomically. On POSIX a
// write keeps the file's owner and mode and never goes through a symlink into another owner's file.
class SettingsStore
{
public:
    // The user's own store.
    SettingsStore();
    // An INI store rooted at iniRoot (<iniRoot>/Pelmora2/<application>.ini), for tests and demos.
    explicit SettingsStore(const QString &iniRoot);

    QString read(const QString &application, const QString &section, const QString &key,
                 const QString &defaultValue) const;
    // True exactly when the value is stored; else writeError() says why.
    bool write(const QString &application, const QString &section, const QString &key, const QString &value);

    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    // Several values in one atomic replacement: a crash leaves all of them old or all of them new.
    bool write(const QString &application, const QList<Entry> &entries);

    // Why the last write failed.
    QString writeError() const { return m_writeError; }

    // Where the INI file of an application lives; empty for the registry.
    QString iniPath(const QString &application) const;
    // Where an application's settings live, as a user is told: the INI file or the registry key.
    QString locationText(const QString &application) const;

private:
    QString m_iniRoot; // empty: the platform's own per-user location
    QString m_writeError;
};
