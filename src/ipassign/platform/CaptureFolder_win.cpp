#include "CaptureFolder.h"

#include "WindowsText_win.h"

#include <windows.h>

#include <string>

namespace
{

// The capture path goes into the interpreter line inside double quotes. There cmd.exe still expands
// %...% (and !...! under delayed expansion, where ^ escapes too), a quote ends the quoted text, and a
// control character can end the line. A temporary folder holding any of them is refused rather than
// handed to the interpreter. The check runs on the text as cmd.exe reads it: UTF-16, so that a
// trail byte of a double-byte character is never taken for one of these.
bool isPlainInsideQuotes(const std::string &ansiText)
{
    const std::wstring wide = WideFromAnsi(ansiText);
    if (wide.empty())
        return false;
    for (const wchar_t c : wide) {
        if (c < 0x20 || c == 0x7F || c == L'%' || c == L'"' || c == L'^' || c == L'!')
            return false;
    }
    return true;
}

} // namespace

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
    if (!isPlainInsideQuotes(base))
        return {};
    std::string path = base + "\\QV512";
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
