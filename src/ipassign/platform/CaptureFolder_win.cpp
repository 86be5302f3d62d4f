#include "CaptureFolder.h"

#include <windows.h>

#include <vector>

char HostPathSeparator()
{
    return '\\';
}

std::string CaptureBaseFolder()
{
    const DWORD needed = ExpandEnvironmentStringsA("%TEMP%", nullptr, 0);
    if (needed == 0)
        return {};
    std::vector<char> buffer(needed);
    if (ExpandEnvironmentStringsA("%TEMP%", buffer.data(), needed) == 0)
        return {};
    return std::string(buffer.data());
}

std::string MakeCaptureFolder(const std::string &base)
{
    const std::string path = base + "\\QV512";
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        DeleteFileForced(path);
    if (!CreateDirectoryA(path.c_str(), nullptr))
        return {};
    return path;
}

bool DeleteFileForced(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}
