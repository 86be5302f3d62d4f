#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's whole content; "(unreadable)" when it cannot be read, so that a comparison shows why.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Replaces a file's content; false when it could not be written whole.
inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
