#include "CaptureFolder.h"

#include "WindowsText_win.h"

#include <windows.h>

#include <string>

char HostPathSeparator()
{
    return '\\';
}

std::string CaptureBaseFolder()
{
    return ExpandEnvironmentAnsi(L"%TEMP%");
}

std::string MakeCaptureFolder(const std::string &base)
{
    // The path goes into the interpreter line: a base it cannot take as it stands gets no folder.
    if (!IsPlainInsideQuotes(base))
        return {};
    std::string path = CaptureFolderTemplate(base);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        DeleteFileForced(path);
    if (!CreateDirectoryA(path.c_str(), nullptr))
        return {};
    return path;
}

std::string CaptureFolderTemplate(const std::string &base)
{
    return base + "\\QV512";
}

bool DeleteFileForced(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}
