#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// What a file that did not exist before gets.
enum class NewFile {
    Shared,  // a report or a log: mode 0644; its folder must exist
    Private, // settings: mode 0600, in folders made with mode 0700 where they are missing
};

// Gives the file at path new content in one step: a crash leaves the old or the new file, never a torn
// one. True exactly when the new content has reached the disk; else error says why.
// POSIX: the new file keeps the owner and mode of the one it replaces (nothing else is written through
// to the old one), and a symlink is followed only to a file of the link's own owner; the link stays.
// The folder is reached without following a symlink that another account controls, and everything
// after that happens relative to the open folder, so a folder swapped meanwhile changes nothing.
bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error,
                        NewFile kind = NewFile::Shared);

// Whether ReplaceFileContent could replace the file at path, found out by making the new copy beside it
// and removing it again; the file itself is left as it is. Else error says why.
bool ProbeFileReplacement(const QString &path, QString &error);

// The content of the file that ReplaceFileContent would replace, reached the same way; empty when
// there is none. False, with error set, when it cannot be read or is not a regular file.
bool ReadFileContent(const QString &path, QByteArray &content, QString &error);

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
