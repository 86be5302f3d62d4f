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
    m_capturePath = capturePathIn(folder, m_captureFileName);
    Redirected(QString(), m_capturePath); // a path the interpreter would not take as it stands runs nothing
    DelFileIfExists(m_capturePath);
    return m_capturePath;
}

QString HostShell::PlannedCapturePath(const QString &captureFileName)
{
    return capturePathIn(CaptureFolderTemplate(CaptureBaseFolder()), captureFileName);
}

QString HostShell::capturePathIn(const std::string &folder, const QString &captureFileName)
{
    return QString::fromLocal8Bit(folder + HostPathSeparator()) + captureFileName;
}

void HostShell::AbandonHostWork()
{
    m_runner.abortRunning();
    if (!m_capturePath.isEmpty())
        DelFileIfExists(m_capturePath);
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
    const std::string quoted = QuoteForShell(capturePath.toLocal8Bit().toStdString());
    if (quoted.empty())
        throw HostStepFailed("the capture path cannot be given to the host's interpreter as it stands");
    return command + " >> " + QString::fromLocal8Bit(quoted);
}
