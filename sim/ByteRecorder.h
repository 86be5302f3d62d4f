#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Appends every byte a unit receives, raw, to one file that lives across connections.
class ByteRecorder
{
public:
    explicit ByteRecorder(const QString &path);

    bool open(QString *error);
    void append(const QByteArray &bytes);

private:
    QFile m_file;
};
