#include "HostShell.h"

#include "platform/CaptureFolder.h"
#include "platform/CommandRunner.h"

#include <QFileInfo>

void HostShell::ExecShellCmd(const QString &command)
{
    if (!m_runner.ExecShellCmd(command.toLocal8Bit().toStdString()))
        throw HostStepFailed("host command could not be run to its end: " + command.toStdString());
}

void HostShell::ExecCaptured(const QString &command, const QString &capturePath)
{
    ExecShellCmd(Redirected(command, capturePath));
}

QString HostShell::PrepCaptureFile()
{
    const std::string folder = MakeCaptureFolder(CaptureBaseFolder());
    if (folder.empty())
        throw HostStepFailed("capture folder could not be made");
    QString path = QString::fromLocal8Bit(folder + HostPathSeparator() + "temp.txt");
    DelFileIfExists(path);
    return path;
}

bool HostShell::DelFile(const QString &path)
{
    return DeleteFileForced(path.toLocal8Bit().toStdString());
}

void HostShell::DelFileIfExists(const QString &path)
{
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        DelFile(path);
}

QString HostShell::Redirected(const QString &command, const QString &capturePath)
{
    return command + " >> \"" + capturePath + "\"";
}
