#include "HostQuestions.h"

#include "WindowsText_win.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <string>

namespace
{

// The size of the ANSI version record: the host reads only the fields this size covers.
constexpr DWORD AnsiVersionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == AnsiVersionRecordSize);

constexpr LCTYPE LocaleCurrencyItem = 0x14; // LOCALE_SCURRENCY

std::string ansiToUtf8(const std::string &ansi)
{
    const std::wstring wide = WideFromAnsi(ansi);
    if (wide.empty())
        return {};
    const int wideLength = static_cast<int>(wide.size());
    const int utf8Length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0)
        return {};
    std::string utf8(static_cast<size_t>(utf8Length), '\0');
    if (::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                              nullptr) == 0)
        return {};
    return utf8;
}

class WindowsHostQuestions final : public HostQuestions
{
public:
    bool isAdministrator() override { return ::IsUserAnAdmin() != FALSE; }

    std::optional<int> majorVersion() override
    {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = AnsiVersionRecordSize;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996) // the deprecated call is the one that answers this question
#endif
        if (::GetVersionExA(&info) == 0)
            return std::nullopt;
        return static_cast<int>(info.dwMajorVersion);
    }

    std::string currencySymbol() override
    {
        const LCID locale = ::GetUserDefaultLCID() & 0xFFFF;
        const int needed = ::GetLocaleInfoA(locale, LocaleCurrencyItem, nullptr, 0); // NUL included
        if (needed <= 0)
            return {};
        std::string buffer(static_cast<size_t>(needed), '\0');
        // A symbol changed between the two calls may no longer fit: then the host tells nothing.
        if (::GetLocaleInfoA(locale, LocaleCurrencyItem, buffer.data(), needed) <= 0)
            return {};
        buffer.resize(std::min(buffer.find('\0'), buffer.size()));
        return ansiToUtf8(buffer);
    }

    NeighbourHost neighbourHost() override
    {
        return ReadNeighbourHost();
    }
};

} // namespace

std::unique_ptr<HostQuestions> CreateHostQuestions()
{
    return std::make_unique<WindowsHostQuestions>();
}
