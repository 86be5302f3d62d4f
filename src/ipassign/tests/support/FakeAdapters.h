#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A folder of stand-ins for the host commands (arp, ping, Ping, netsh, chcp) to put first on PATH. Each
// appends its command line to a record and prints the output set for that exact command line, else
// the output set for its command name, else nothing.
class FakeAdapters
{
public:
    FakeAdapters();

    QString folder() const { return m_dir.path() + "/bin"; }

    // commandLine is the command name with its arguments ("Ping 10.0.0.5") or the bare name ("ping").
    void setOutput(const QString &commandLine, const QByteArray &output);
    // The command writes its process id to hangPidFile() and then does not end by itself.
    void setHang(const QString &commandLine);
    QString hangPidFile() const { return m_dir.path() + "/hang.pid"; }

    // The command lines run so far, in order; chcp's own lines are left out unless asked for.
    QStringList commands(bool withChcp = false) const;

private:
    QString keyFile(const QString &kind, const QString &commandLine) const;

    QTemporaryDir m_dir;
};

// A sample of Windows command output kept with the tests (CR LF line ends).
QByteArray WindowsSample(const QString &name);
