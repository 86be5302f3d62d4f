#pragma once

#include <QByteArray>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

// Another account at work while root saves: a child running as `account` that swaps two entries of its
// own (a folder and a symlink to a folder of root's), atomically and without end, until this goes.
class FolderSwapAttacker
{
public:
    FolderSwapAttacker(const passwd &account, const QByteArray &first, const QByteArray &second)
        : m_pid(::fork())
    {
        if (m_pid != 0)
            return;
        if (::setgroups(0, nullptr) == 0 && ::setgid(account.pw_gid) == 0 && ::setuid(account.pw_uid) == 0)
            for (;;)
                ::renameat2(AT_FDCWD, first.constData(), AT_FDCWD, second.constData(), RENAME_EXCHANGE);
        ::_exit(1);
    }
    ~FolderSwapAttacker() { stop(); }
    FolderSwapAttacker(const FolderSwapAttacker &) = delete;
    FolderSwapAttacker &operator=(const FolderSwapAttacker &) = delete;

    void stop()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid;
};
