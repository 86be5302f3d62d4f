#include "FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

// Where the store is the registry, an INI file serves only tests and demos: QSaveFile's replacement.
bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error, NewFile kind)
{
    if (kind == NewFile::Private && !QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("its folder could not be made");
        return false;
    }
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

bool ReadFileContent(const QString &path, QByteArray &content, QString &error)
{
    content.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("it could not be read");
        return false;
    }
    content = file.readAll();
    return true;
}

DraftFolder::DraftFolder()
{
    if (m_folder.isValid())
        m_path = m_folder.path();
}

DraftFolder::~DraftFolder() = default;
