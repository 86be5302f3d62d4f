#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Another account at work while root saves: a folder of root's ("victim") beside a sticky folder open to
// all ("shared") in which the user nobody ran `plant` (sh, in "shared", with the victim folder as $2);
// ready only as root with a user nobody. Once asked, a child running as nobody swaps two of its entries
// (a folder and a symlink to the victim), atomically and without end, until stopped or this goes.
class FolderSwapAttacker
{
public:
    explicit FolderSwapAttacker(const QString &plant)
        : ready(
              nobody && ::geteuid() == 0 && ::chmod(QFile::encodeName(top.path()), 0755) == 0 &&
              QDir().mkpath(shared) && QDir().mkpath(victim) &&
              ::chmod(QFile::encodeName(shared), 01777) == 0 &&
              QProcess::execute("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "/bin/sh",
                                            "-c", "cd \"$1\" && " + plant, "sh", shared, victim}) == 0)
    {
    }
    ~FolderSwapAttacker() { stop(); }
    FolderSwapAttacker(const FolderSwapAttacker &) = delete;
    FolderSwapAttacker &operator=(const FolderSwapAttacker &) = delete;

    // Swaps the entries `first` and `second`, below "shared".
    void start(const QString &first, const QString &second)
    {
        const QByteArray a = QFile::encodeName(shared + "/" + first),
                         b = QFile::encodeName(shared + "/" + second);
        if ((m_pid = ::fork()) != 0)
            return;
        if (::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0)
            for (;;)
                ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE);
        ::_exit(1);
    }
    void stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

    const passwd *nobody = ::getpwnam("nobody");
    QTemporaryDir top;
    const QString shared = top.filePath("shared"), victim = top.filePath("victim");
    const bool ready;

private:
    pid_t m_pid = -1;
};
