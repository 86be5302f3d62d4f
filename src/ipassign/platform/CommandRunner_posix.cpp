#include "CommandRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

CommandRunner::CommandRunner()
{
    if (QCoreApplication::instance())
        m_adapterFolder = (QCoreApplication::applicationDirPath() + "/hostcmd").toStdString();
}

bool CommandRunner::ExecShellCmd(const std::string &command)
{
    if (m_aborted)
        return false;
    QProcess shell;
    shell.setProgram("/bin/sh");
    shell.setArguments({"-c", QString::fromLocal8Bit("chcp 437 && " + command)});

    // Nothing of the caller's environment: under sudo -E its PATH, ENV, IFS or LD_* would choose what
    // runs as root.
    QProcessEnvironment env;
    env.insert("PATH", QString::fromLocal8Bit(m_adapterFolder) + ":/usr/sbin:/usr/bin:/sbin:/bin");
    env.insert("LC_ALL", "C");
    shell.setProcessEnvironment(env);

    // Like a hidden console: nothing to read from, console output goes nowhere.
    shell.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    shell.setStandardInputFile(QProcess::nullDevice());
    shell.setStandardOutputFile(QProcess::nullDevice());
    // A group of its own, so that the time limit ends the whole command, not only the shell.
    shell.setChildProcessModifier([] { ::setpgid(0, 0); });

    QEventLoop loop;
    QObject::connect(&shell, &QProcess::finished, &loop, &QEventLoop::quit);

    shell.start();
    if (!shell.waitForStarted())
        return false;
    const pid_t group = static_cast<pid_t>(shell.processId());
    if (group <= 0)
        return false;
    m_running = group;
    // An abort that came while the command was starting did not see the group yet.
    if (m_aborted)
        ::kill(-group, SIGKILL);

    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        ::kill(-group, SIGKILL);
    });
    limit.start(m_timeLimit);
    if (shell.state() != QProcess::NotRunning)
        loop.exec();
    m_running = 0;
    return !timedOut && !m_aborted;
}

void CommandRunner::abortRunning()
{
    m_aborted = true;
    if (const auto group = static_cast<pid_t>(m_running.load()); group > 0)
        ::kill(-group, SIGKILL);
}

std::string QuoteForShell(const std::string &text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}
