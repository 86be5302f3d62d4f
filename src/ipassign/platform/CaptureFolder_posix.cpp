#include "CaptureFolder.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool isPrivateFolder(const struct stat &st)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

int removeOne(const char *path, const struct stat *, int, struct FTW *)
{
    return ::remove(path);
}

// Removes whatever stands at path without following any symlink on the way.
bool removeEntry(const std::string &path, const struct stat &st)
{
    if (S_ISDIR(st.st_mode))
        return ::nftw(path.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS) == 0;
    return ::unlink(path.c_str()) == 0;
}

// mkdir's mode is cut by the umask; set the exact mode on the folder just made, not on what its
// name may point to by now.
bool makePrivateFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0700) != 0)
        return errno == EEXIST;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

} // namespace

char HostPathSeparator()
{
    return '/';
}

std::string CaptureBaseFolder()
{
    const char *runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir && runtimeDir[0] == '/')
        return runtimeDir;
    return QDir::tempPath().toLocal8Bit().toStdString();
}

std::string MakeCaptureFolder(const std::string &base)
{
    std::string path = base + "/QV512";
    // Two rounds: remove an unfit entry, then make the folder; anything else is given up.
    for (int round = 0; round < 2; ++round) {
        struct stat st {
        };
        if (::lstat(path.c_str(), &st) == 0) {
            if (isPrivateFolder(st))
                return path;
            if (!removeEntry(path, st))
                return {};
        } else if (errno != ENOENT) {
            return {};
        }
        if (!makePrivateFolder(path))
            return {};
    }
    struct stat st {
    };
    if (::lstat(path.c_str(), &st) == 0 && isPrivateFolder(st))
        return path;
    return {};
}

bool DeleteFileForced(const std::string &path)
{
    struct stat st {
    };
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return ::unlink(path.c_str()) == 0;
}
