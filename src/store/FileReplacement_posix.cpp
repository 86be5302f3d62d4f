#include "FileReplacement.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QString systemReason(const char *what)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The file that a save really replaces: path itself, or the target of a symlink at path when that
// belongs to the link's owner. Empty, with error set, when the save must not go there.
std::string replacedFile(const std::string &path, QString &error)
{
    struct stat linkSt {
    };
    if (::lstat(path.c_str(), &linkSt) != 0 || !S_ISLNK(linkSt.st_mode))
        return path;
    char resolved[PATH_MAX];
    struct stat targetSt {
    };
    if (!::realpath(path.c_str(), resolved) || ::stat(resolved, &targetSt) != 0) {
        error = QStringLiteral("it is a symlink to no file");
        return {};
    }
    if (targetSt.st_uid != linkSt.st_uid) {
        error = QStringLiteral("it is a symlink to a file of another owner");
        return {};
    }
    return resolved;
}

bool writeAll(int fd, const QByteArray &content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done, static_cast<size_t>(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The new copy gets what the old file had: owner, group and mode. A fresh file keeps what open gave it.
bool takeOverOwnerAndMode(int fd, const struct stat &old)
{
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes the new copy to the disk, with the old file's owner and mode when there is one; closes fd.
bool fillCopy(int fd, const QByteArray &content, const struct stat *old, QString &error)
{
    bool ok = true;
    if (!writeAll(fd, content) || ::fsync(fd) != 0) {
        error = systemReason("the new copy could not be written");
        ok = false;
    } else if (old && !takeOverOwnerAndMode(fd, *old)) {
        error = systemReason("the owner and mode could not be kept");
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = systemReason("the new copy could not be written");
        ok = false;
    }
    return ok;
}

// The folder of the replaced file, open, and the file's name in it; -1 with error set when the save must
// not or cannot go there.
int openFolderOf(const QString &path, std::string &name, struct stat &old, bool &exists, QString &error)
{
    const std::string target = replacedFile(path.toLocal8Bit().toStdString(), error);
    if (target.empty())
        return -1;
    exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        error = QStringLiteral("it is not a regular file");
        return -1;
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    name = slash == std::string::npos ? target : target.substr(slash + 1);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        error = systemReason("its folder could not be opened");
    return dirFd;
}

// A new copy beside the file, under a name nobody else can have taken; -1 with error set.
int makeCopy(int dirFd, const std::string &name, bool exists, std::string &copy, QString &error)
{
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        copy = "." + name + "." + std::to_string(QRandomGenerator::system()->generate64());
        fd = ::openat(dirFd, copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        error = systemReason("a new copy could not be made beside it");
    return fd;
}

} // namespace

bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error)
{
    std::string name, copy;
    struct stat old {
    };
    bool exists = false;
    const int dirFd = openFolderOf(path, name, old, exists, error);
    if (dirFd < 0)
        return false;
    const int fd = makeCopy(dirFd, name, exists, copy, error);
    bool ok = fd >= 0 && fillCopy(fd, content, exists ? &old : nullptr, error);
    if (ok && ::renameat(dirFd, copy.c_str(), dirFd, name.c_str()) != 0) {
        error = systemReason("the new copy could not take its place");
        ok = false;
    }
    if (!ok && fd >= 0)
        ::unlinkat(dirFd, copy.c_str(), 0);
    if (ok && ::fsync(dirFd) != 0) {
        error = systemReason("the replacement could not be made lasting");
        ok = false;
    }
    ::close(dirFd);
    return ok;
}

bool ProbeFileReplacement(const QString &path, QString &error)
{
    std::string name, copy;
    struct stat old {
    };
    bool exists = false;
    const int dirFd = openFolderOf(path, name, old, exists, error);
    if (dirFd < 0)
        return false;
    const int fd = makeCopy(dirFd, name, exists, copy, error);
    if (fd >= 0) {
        ::close(fd);
        ::unlinkat(dirFd, copy.c_str(), 0);
    }
    ::close(dirFd);
    return fd >= 0;
}

DraftFolder::DraftFolder()
{
    // Removed below through the descriptor: a removal by path could be led into another user's tree.
    m_folder.setAutoRemove(false);
    if (!m_folder.isValid())
        return;
    m_fd = ::open(QFile::encodeName(m_folder.path()).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {
    };
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700)
        m_path = QStringLiteral("/proc/self/fd/") + QString::number(m_fd);
}

DraftFolder::~DraftFolder()
{
    if (m_fd < 0)
        return;
    if (DIR *entries = ::fdopendir(::dup(m_fd))) {
        while (const dirent *entry = ::readdir(entries))
            ::unlinkat(m_fd, entry->d_name, 0); // "." and ".." are refused
        ::closedir(entries);
    }
    // Only an empty folder goes by path, and only while the name still leads to this one.
    struct stat held {
    }, named{};
    const QByteArray path = QFile::encodeName(m_folder.path());
    if (::fstat(m_fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev)
        ::rmdir(path.constData());
    ::close(m_fd);
}
