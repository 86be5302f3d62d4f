#include "FileReplacement.h"

#include "FolderWalk_posix.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
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

// A file held by the open folder it sits in, as the save found it.
struct HeldFile {
    int folder = -1;
    std::string name;
    bool exists = false;
    struct stat st {
    };
};

void release(HeldFile &file)
{
    if (file.folder >= 0)
        ::close(file.folder);
    file.folder = -1;
}

// Opens path's folder steadily and looks at the name in it without following it.
bool holdFile(const std::string &path, bool makeFolders, HeldFile &file, QString &error)
{
    std::string reason;
    auto [folder, name] = SplitLastName(path);
    file.name = name;
    file.folder = OpenFolderSteadily(folder, makeFolders, reason);
    if (file.folder < 0 || name.empty() || name == "." || name == "..") {
        error = reason.empty() ? QStringLiteral("it names no file") : QString::fromLocal8Bit(reason);
        release(file);
        return false;
    }
    file.exists = ::fstatat(file.folder, name.c_str(), &file.st, AT_SYMLINK_NOFOLLOW) == 0;
    return true;
}

// The file that a save really replaces: path itself, or the target of a symlink at path when that
// belongs to the link's owner, reached again from the start by the target's own path.
bool holdReplacedFile(const std::string &path, bool makeFolders, HeldFile &file, QString &error)
{
    if (!holdFile(path, makeFolders, file, error))
        return false;
    if (!file.exists || !S_ISLNK(file.st.st_mode))
        return true;
    const uid_t linkOwner = file.st.st_uid;
    char target[PATH_MAX];
    const ssize_t size = ::readlinkat(file.folder, file.name.c_str(), target, sizeof target - 1);
    release(file);
    if (size <= 0) {
        error = QStringLiteral("it is a symlink to no file");
        return false;
    }
    std::string resolved(target, static_cast<std::size_t>(size));
    if (resolved[0] != '/')
        resolved = SplitLastName(path).first + "/" + resolved;
    if (!holdFile(resolved, false, file, error) || !file.exists || S_ISLNK(file.st.st_mode)) {
        release(file);
        error = QStringLiteral("it is a symlink to no file");
        return false;
    }
    if (file.st.st_uid != linkOwner) {
        release(file);
        error = QStringLiteral("it is a symlink to a file of another owner");
        return false;
    }
    return true;
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

// The new copy gets what the old file had: owner, group and mode; a fresh file the mode of its kind,
// whatever the umask.
bool takeOverOwnerAndMode(int fd, const struct stat *old, NewFile kind)
{
    if (!old)
        return ::fchmod(fd, kind == NewFile::Private ? 0600 : 0644) == 0;
    if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
        ::fchown(fd, old->st_uid, old->st_gid) != 0)
        return false;
    return ::fchmod(fd, old->st_mode & 07777) == 0;
}

// Writes the new copy to the disk, with the old file's owner and mode when there is one; closes fd.
bool fillCopy(int fd, const QByteArray &content, const struct stat *old, NewFile kind, QString &error)
{
    bool ok = true;
    if (!writeAll(fd, content) || ::fsync(fd) != 0) {
        error = systemReason("the new copy could not be written");
        ok = false;
    } else if (!takeOverOwnerAndMode(fd, old, kind)) {
        error = systemReason("the owner and mode could not be kept");
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = systemReason("the new copy could not be written");
        ok = false;
    }
    return ok;
}

// The folder of the file to replace, held open, with a new copy beside the file under a name nobody
// else can have taken; false with error set when the save must not or cannot go there.
struct NewCopy {
    HeldFile file;
    std::string name;
    int fd = -1;
};

bool makeCopy(const QString &path, NewFile kind, NewCopy &copy, QString &error)
{
    if (!holdReplacedFile(QFile::encodeName(path).toStdString(), kind == NewFile::Private, copy.file, error))
        return false;
    if (copy.file.exists && !S_ISREG(copy.file.st.st_mode)) {
        error = QStringLiteral("it is not a regular file");
        ::close(copy.file.folder);
        return false;
    }
    for (int attempt = 0; attempt < 16 && copy.fd < 0; ++attempt) {
        copy.name = "." + copy.file.name + "." + std::to_string(QRandomGenerator::system()->generate64());
        copy.fd = ::openat(copy.file.folder, copy.name.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (copy.fd < 0 && errno != EEXIST)
            break;
    }
    if (copy.fd < 0) {
        error = systemReason("a new copy could not be made beside it");
        ::close(copy.file.folder);
        return false;
    }
    return true;
}

} // namespace

bool ReplaceFileContent(const QString &path, const QByteArray &content, QString &error, NewFile kind)
{
    NewCopy copy;
    if (!makeCopy(path, kind, copy, error))
        return false;
    const int dirFd = copy.file.folder;
    bool ok = fillCopy(copy.fd, content, copy.file.exists ? &copy.file.st : nullptr, kind, error);
    if (ok && ::renameat(dirFd, copy.name.c_str(), dirFd, copy.file.name.c_str()) != 0) {
        error = systemReason("the new copy could not take its place");
        ok = false;
    }
    if (!ok)
        ::unlinkat(dirFd, copy.name.c_str(), 0);
    if (ok && ::fsync(dirFd) != 0) {
        error = systemReason("the replacement could not be made lasting");
        ok = false;
    }
    ::close(dirFd);
    return ok;
}

bool ProbeFileReplacement(const QString &path, QString &error)
{
    NewCopy copy;
    if (!makeCopy(path, NewFile::Shared, copy, error))
        return false;
    ::close(copy.fd);
    ::unlinkat(copy.file.folder, copy.name.c_str(), 0);
    ::close(copy.file.folder);
    return true;
}

bool ReadFileContent(const QString &path, QByteArray &content, QString &error)
{
    content.clear();
    HeldFile file;
    if (!holdReplacedFile(QFile::encodeName(path).toStdString(), false, file, error)) {
        if (errno != ENOENT) // no folder, so no file yet
            return false;
        error.clear();
        return true;
    }
    if (!file.exists) {
        ::close(file.folder);
        return true;
    }
    // Never blocks: a FIFO put in the file's place is refused, not waited on.
    const int fd = ::openat(file.folder, file.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    ::close(file.folder);
    struct stat st {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = QStringLiteral("it is not a regular file");
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    QFile reader;
    const bool read = reader.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    content = reader.readAll();
    if (!read || reader.error() != QFileDevice::NoError) {
        error = QStringLiteral("it could not be read");
        return false;
    }
    return true;
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
