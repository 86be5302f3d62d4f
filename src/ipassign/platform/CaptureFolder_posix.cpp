#include "CaptureFolder.h"

#include <QDir>

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

const char *const FolderName = "QV512";

bool isPrivateFolder(const struct stat &st)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

// A folder nobody but root and the user can rename, replace or fill: the sticky bit keeps others'
// hands off entries they do not own.
bool isSteadyFolder(const struct stat &st)
{
    const bool trustedOwner = st.st_uid == 0 || st.st_uid == ::geteuid();
    const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    return S_ISDIR(st.st_mode) && trustedOwner && (!othersWrite || (st.st_mode & S_ISVTX));
}

// The real path of folder when every folder on it is steady, else "".
std::string steadyRealPath(const char *folder)
{
    if (!folder || folder[0] != '/')
        return {};
    char resolved[PATH_MAX];
    if (!::realpath(folder, resolved))
        return {};
    std::string path(resolved);
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = end == std::string::npos ? path : path.substr(0, end);
        struct stat st {
        };
        if (::lstat(prefix.empty() ? "/" : prefix.c_str(), &st) != 0 || !isSteadyFolder(st))
            return {};
        if (end == std::string::npos)
            return path;
    }
}

bool isPrivateFolderAt(int dirFd, const char *name)
{
    struct stat st {
    };
    return ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && isPrivateFolder(st);
}

bool isLeftoverName(const char *name)
{
    const std::size_t length = std::strlen(name);
    const std::size_t stem = std::strlen(FolderName);
    return std::strncmp(name, FolderName, stem) == 0 &&
           (length == stem || (length == stem + 7 && name[stem] == '.'));
}

// Removes the capture file and then the folder of an earlier run, relative to open descriptors. A
// folder whose lock another process holds is that instance's own and stays.
void removeLeftover(int baseFd, const char *name)
{
    if (!isPrivateFolderAt(baseFd, name))
        return;
    const int fd = ::openat(baseFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {
    };
    if (fd < 0)
        return;
    if (::fstat(fd, &st) == 0 && isPrivateFolder(st) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat file {
        };
        if (::fstatat(fd, "temp.txt", &file, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(file.st_mode))
            ::unlinkat(fd, "temp.txt", 0);
        ::unlinkat(baseFd, name, AT_REMOVEDIR); // only while empty
    }
    ::close(fd);
}

void removeLeftovers(int baseFd)
{
    DIR *entries = ::fdopendir(::dup(baseFd));
    if (!entries)
        return;
    std::vector<std::string> names;
    while (const dirent *entry = ::readdir(entries))
        if (isLeftoverName(entry->d_name))
            names.emplace_back(entry->d_name);
    ::closedir(entries);
    for (const std::string &name : names)
        removeLeftover(baseFd, name.c_str());
}

// The capture folder of this process under one base: its own, locked for as long as it lives, and
// removed at the end when it is empty.
struct OwnFolder {
    pid_t owner = 0;
    int baseFd = -1;
    int fd = -1;
    std::string name;
    std::string path;

    ~OwnFolder()
    {
        struct stat held {
        }, named{};
        if (owner == ::getpid() && ::fstat(fd, &held) == 0 &&
            ::fstatat(baseFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            ::unlinkat(baseFd, name.c_str(), AT_REMOVEDIR); // only while empty
        for (const int open : {fd, baseFd})
            if (open >= 0)
                ::close(open);
    }
};

std::mutex g_ownMutex;
std::map<std::string, OwnFolder> g_ownFolders;

// Made atomically (mkdtemp: 0700, an existing name is never taken over), so two instances, or a parent
// and its forked child, never share a capture file.
std::string ownPrivateFolder(const std::string &base)
{
    const std::lock_guard lock(g_ownMutex);
    OwnFolder &own = g_ownFolders[base];
    if (own.owner == ::getpid() && isPrivateFolderAt(own.baseFd, own.name.c_str()))
        return own.path;
    own = OwnFolder{}; // a forked child's copy is its parent's: left alone
    own.baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (own.baseFd < 0)
        return {};
    removeLeftovers(own.baseFd);
    std::string pattern = CaptureFolderTemplate(base);
    if (!::mkdtemp(pattern.data()))
        return {};
    own.name = pattern.substr(base.size() + 1);
    own.fd = ::openat(own.baseFd, own.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (own.fd < 0 || ::flock(own.fd, LOCK_EX | LOCK_NB) != 0)
        return {};
    own.owner = ::getpid();
    own.path = pattern;
    return own.path;
}

} // namespace

char HostPathSeparator()
{
    return '/';
}

std::string CaptureBaseFolder()
{
    const QByteArray temp = QDir::tempPath().toLocal8Bit();
    const std::array<const char *, 3> candidates{std::getenv("XDG_RUNTIME_DIR"), temp.constData(), "/tmp"};
    for (const char *candidate : candidates) {
        std::string base = steadyRealPath(candidate);
        if (!base.empty())
            return base;
    }
    return {};
}

std::string MakeCaptureFolder(const std::string &base)
{
    if (base.empty())
        return {};
    return ownPrivateFolder(base);
}

std::string CaptureFolderTemplate(const std::string &base)
{
    return base + "/" + FolderName + ".XXXXXX";
}

bool DeleteFileForced(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return false;
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    bool deleted = false;
    struct stat folderSt {
    }, fileSt{};
    if (::fstat(dirFd, &folderSt) == 0 && isPrivateFolder(folderSt) &&
        ::fstatat(dirFd, name.c_str(), &fileSt, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(fileSt.st_mode))
        deleted = ::unlinkat(dirFd, name.c_str(), 0) == 0;
    ::close(dirFd);
    return deleted;
}
