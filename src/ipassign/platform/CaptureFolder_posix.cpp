#include "CaptureFolder.h"

#include <QDir>

#include <array>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

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

bool isPrivateFolderAt(const std::string &path)
{
    struct stat st {
    };
    return ::lstat(path.c_str(), &st) == 0 && isPrivateFolder(st);
}

// mkdir's mode is cut by the umask; set the exact mode on the folder just made, not on what its
// name may point to by now.
bool makePrivateFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0700) != 0)
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

// The fresh folder of this run for each base whose shared name was taken.
std::mutex g_freshMutex;
std::map<std::string, std::string> g_freshFolders;

std::string freshPrivateFolder(const std::string &base)
{
    const std::lock_guard lock(g_freshMutex);
    std::string &fresh = g_freshFolders[base];
    if (!fresh.empty() && isPrivateFolderAt(fresh))
        return fresh;
    std::string pattern = base + "/" + FolderName + ".XXXXXX";
    if (!::mkdtemp(pattern.data())) // 0700, and an existing name is never taken over
        return {};
    fresh = pattern;
    return fresh;
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
    std::string shared = base + "/" + FolderName;
    if (isPrivateFolderAt(shared) || makePrivateFolder(shared))
        return shared;
    return freshPrivateFolder(base);
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
