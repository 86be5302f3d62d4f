#pragma once

#include <QByteArray>
#include <QString>

// Gives the file at path new content in one step: a crash leaves the old or the new file, never a torn
// one. True exactly when the new content has reached the disk; else error says why.
// POSIX: the new file keeps the owner and mode of the one it replaces (nothing else is written through
// to the old one), and a symlink is followed only to a file of the link's own owner; the link stays.
bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error);
