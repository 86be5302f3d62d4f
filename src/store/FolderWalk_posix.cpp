#include "FolderWalk_posix.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace
{

constexpr int MaxLinks = 40; // as the kernel allows on one lookup

bool isTrustedOwner(uid_t uid)
{
    return uid == 0 || uid == ::geteuid();
}

// A folder whose entries only root or the user can replace: others may at most add their own (sticky).
bool isSteadyFolder(int fd)
{
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !isTrustedOwner(st.st_uid))
        return false;
    return (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (st.st_mode & S_ISVTX) != 0;
}

std::deque<std::string> namesOf(const std::string &path)
{
    std::deque<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start && path.compare(start, end - start, ".") != 0)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string reason(const char *what, const std::string &name)
{
    return std::string(what) + " (" + name + "): " + std::strerror(errno);
}

// Makes name in the folder at fd with mode 0700 and gives the new folder's descriptor, or -1.
int makeFolder(int fd, const std::string &name)
{
    if (::mkdirat(fd, name.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int made = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {
    };
    // Only a folder of the user's own gets its mode set: the name may have been taken meanwhile.
    if (made >= 0 && (::fstat(made, &st) != 0 || st.st_uid != ::geteuid() || ::fchmod(made, 0700) != 0)) {
        ::close(made);
        errno = EPERM;
        return -1;
    }
    return made;
}

} // namespace

std::pair<std::string, std::string> SplitLastName(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int OpenFolderSteadily(const std::string &path, bool makeMissing, std::string &error)
{
    std::deque<std::string> names = namesOf(path);
    int fd = ::open(path.empty() || path[0] != '/' ? "." : "/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = reason("the folder could not be opened", path);
        return -1;
    }
    int links = 0;
    while (!names.empty()) {
        const std::string name = names.front();
        names.pop_front();
        int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && makeMissing)
            next = makeFolder(fd, name);
        if (next >= 0) {
            ::close(fd);
            fd = next;
            continue;
        }
        const int openError = errno;
        struct stat st {
        };
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
            ::close(fd);
            errno = openError; // ENOENT tells the caller that the folder is not there
            error = reason("a folder on the way could not be opened", name);
            return -1;
        }
        char target[4096];
        const ssize_t size = ::readlinkat(fd, name.c_str(), target, sizeof target - 1);
        if (!isTrustedOwner(st.st_uid) || !isSteadyFolder(fd) || size <= 0 || ++links > MaxLinks) {
            error = "a folder on the way is a symlink that another account controls (" + name + ")";
            ::close(fd);
            return -1;
        }
        const std::string linked(target, static_cast<std::size_t>(size));
        std::deque<std::string> more = namesOf(linked);
        names.insert(names.begin(), more.begin(), more.end());
        if (linked[0] == '/') {
            ::close(fd);
            fd = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) {
                error = reason("the folder could not be opened", "/");
                return -1;
            }
        }
    }
    return fd;
}
