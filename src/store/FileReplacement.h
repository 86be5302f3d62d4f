#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Gives the file at path new content in one step: a crash leaves the old or the new file, never a torn
// one. True exactly when the new content has reached the disk; else error says why.
// POSIX: the new file keeps the owner and mode of the one it replaces (nothing else is written through
// to the old one), and a symlink is followed only to a file of the link's own owner; the link stays.
bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error);

// Whether ReplaceFileContent could replace the file at path, found out by making the new copy beside it
// and removing it again; the file itself is left as it is. Else error says why.
bool ProbeFileReplacement(const QString &path, QString &error);

// A fresh temporary folder of the user's own for drafting new content, reached through a path that no
// other user can redirect, even where the temp location is open to them (POSIX: the folder's open
// descriptor, checked to be the user's own with mode 0700).
class DraftFolder
{
public:
    DraftFolder();
    ~DraftFolder();
    DraftFolder(const DraftFolder &) = delete;
    DraftFolder &operator=(const DraftFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('/') + name; }

private:
    QTemporaryDir m_folder;
    int m_fd = -1;
    QString m_path;
};
