#include "StandardText.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

namespace
{

HANDLE consoleOf(std::FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    // Only a console handle has a console mode; files and pipes fail the call.
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0 ? handle : nullptr;
}

bool writeToConsole(HANDLE console, std::string_view utf8)
{
    if (utf8.empty())
        return true;
    const int size = static_cast<int>(utf8.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
    // A console takes a limited amount per call: write in pieces until all is out.
    constexpr DWORD kPiece = 8192;
    std::size_t done = 0;
    while (done < wide.size()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(kPiece, wide.size() - done));
        DWORD written = 0;
        if (WriteConsoleW(console, wide.data() + done, piece, &written, nullptr) == 0 || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool WriteStandardText(std::FILE *stream, std::string_view utf8)
{
    if (HANDLE console = consoleOf(stream)) {
        std::fflush(stream); // whatever went through the C stream before stays in order
        return writeToConsole(console, utf8);
    }
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
    return std::fflush(stream) == 0 && written;
}
