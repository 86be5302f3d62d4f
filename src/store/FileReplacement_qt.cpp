#include "FileReplacement.h"

#include <QSaveFile>

// Where the store is the registry, an INI file serves only tests and demos: QSaveFile's replacement.
bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool ProbeFileReplacement(const QString &path, QString &error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    file.cancelWriting(); // removes the copy
    file.commit();
    return true;
}

DraftFolder::DraftFolder()
{
    if (m_folder.isValid())
        m_path = m_folder.path();
}

DraftFolder::~DraftFolder() = default;
