#include "SettingsStore.h"

#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace
{

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

QString SettingsStore::locationText(const QString &application) const
{
    const QString path = iniPath(application);
    if (!path.isEmpty())
        return path;
    return QStringLiteral("the registry (HKEY_CURRENT_USER\\Software\\") + QLatin1String(Organization) +
           QLatin1Char('\\') + application + QLatin1Char(')');
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
    // A FIFO or device would hold the reader until someone writes to it.
    const QFileInfo file(iniPath(application));
    if (file.exists() && !file.isFile())
        return defaultValue;
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

// The file's text with the entries set, as QSettings writes it. QSettings works on a private copy; the
// file itself is then replaced in one step, so the replacement decides where the text goes and whose
// file it may become.
static bool newIniText(const QString &path, const QList<SettingsStore::Entry> &entries, QByteArray &text,
                       QString &error)
{
    QByteArray before;
    if (!ReadFileContent(path, before, error))
        return false;
    const DraftFolder drafts;
    QFile draft(drafts.filePath(QStringLiteral("draft.ini")));
    if (!drafts.isValid() || !draft.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("no private temporary folder could be made for the new text");
        return false;
    }
    if (draft.write(before) != before.size()) {
        error = QStringLiteral("the new text could not be made in a private temporary folder");
        return false;
    }
    draft.close();
    {
        QSettings settings(draft.fileName(), QSettings::IniFormat);
        settings.setAtomicSyncRequired(false); // written in place, by the path of the private folder
        for (const SettingsStore::Entry &entry : entries)
            settings.setValue(entryName(entry.section, entry.key), entry.value);
        settings.sync();
        if (settings.status() == QSettings::AccessError || !draft.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("the new text could not be made in a private temporary folder");
            return false;
        }
    }
    text = draft.readAll();
    return true;
}

bool SettingsStore::write(const QString &application, const QList<Entry> &entries)
{
    const QString path = iniPath(application);
    if (path.isEmpty()) { // the registry
        const auto settings = openStore(*this, application);
        for (const Entry &entry : entries)
            settings->setValue(entryName(entry.section, entry.key), entry.value);
        settings->sync();
        m_writeError = settings->status() == QSettings::NoError ? QString() : QStringLiteral("access denied");
        return m_writeError.isEmpty();
    }
    QByteArray text;
    if (!newIniText(path, entries, text, m_writeError))
        return false;
    m_writeError.clear();
    return ReplaceFileContent(path, text, m_writeError, NewFile::Private);
}
