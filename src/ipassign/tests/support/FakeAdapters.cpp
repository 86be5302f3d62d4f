#include "FakeAdapters.h"

#include <QDir>
#include <QFile>

namespace
{

const char *const FakeScript = R"(#!/bin/sh
name=${0##*/}
dir='@DIR@'
printf '%s\n' "$name $*" >> "$dir/record.txt"
key=$(printf '%s' "$name $*" | tr ' ' '_')
if [ -f "$dir/hang/$key" ]; then
    echo $$ > "$dir/hang.pid"
    exec sleep 600
fi
if [ -f "$dir/out/$key" ]; then
    cat "$dir/out/$key"
elif [ -f "$dir/out/$name" ]; then
    cat "$dir/out/$name"
fi
)";

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
}

} // namespace

FakeAdapters::FakeAdapters()
{
    QDir root(m_dir.path());
    root.mkpath("bin");
    root.mkpath("out");
    root.mkpath("hang");
    const QByteArray script = QByteArray(FakeScript).replace("@DIR@", m_dir.path().toLocal8Bit());
    for (const char *name : {"arp", "ping", "Ping", "netsh", "chcp"}) {
        const QString path = folder() + "/" + name;
        writeFile(path, script);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

QString FakeAdapters::keyFile(const QString &kind, const QString &commandLine) const
{
    return m_dir.path() + "/" + kind + "/" + QString(commandLine).replace(' ', '_');
}

void FakeAdapters::setOutput(const QString &commandLine, const QByteArray &output)
{
    writeFile(keyFile("out", commandLine), output);
}

void FakeAdapters::setHang(const QString &commandLine)
{
    writeFile(keyFile("hang", commandLine), {});
}

QStringList FakeAdapters::commands(bool withChcp) const
{
    QFile record(m_dir.path() + "/record.txt");
    if (!record.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(record.readAll()).split('\n', Qt::SkipEmptyParts);
    if (!withChcp)
        lines.removeAll("chcp 437");
    return lines;
}

QByteArray WindowsSample(const QString &name)
{
    QFile file(QStringLiteral(IPASSIGN_TEST_DATA) + "/" + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}
