#pragma once

// Text conversions of the Windows sources. The host commands, their lines and the capture path are
// ANSI text (the host's code page), as the command interpreter and the capture file have them.

#include <windows.h>

#include <string>

// The ANSI form of a UTF-16 text; "" when the code page cannot hold every character of it exactly (a
// substitute, best fit included, would name another file).
inline std::string AnsiFromWide(const std::wstring &wide)
{
    if (wide.empty())
        return {};
    const int wideLength = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0,
                                           nullptr, &lossy);
    if (length <= 0 || lossy)
        return {};
    std::string ansi(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(), length,
                            nullptr, nullptr) == 0)
        return {};
    return ansi;
}

// The UTF-16 form of an ANSI text; "" for a byte sequence the code page does not define.
inline std::wstring WideFromAnsi(const std::string &ansi)
{
    if (ansi.empty())
        return {};
    const int ansiLength = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), ansiLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), ansiLength, wide.data(), length) == 0)
        return {};
    return wide;
}

// Environment references expanded, in ANSI. Expanded as UTF-16 first: the size that the ANSI call
// answers is not the byte count on every host (Wine counts characters), too small for a double-byte
// code page.
inline std::string ExpandEnvironmentAnsi(const wchar_t *text)
{
    const DWORD needed = ExpandEnvironmentStringsW(text, nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text, expanded.data(), needed);
    if (written == 0 || written > needed)
        return {};
    expanded.resize(written - 1);
    return AnsiFromWide(expanded);
}

// Whether cmd.exe reads the ANSI text inside double quotes as it stands. There it still expands %...%
// (and !...! under delayed expansion, where ^ escapes too), a quote ends the quoted text, and a
// control character can end the line. Checked on the text as cmd.exe reads it, UTF-16, so that a
// trail byte of a double-byte character is never taken for one of these.
inline bool IsPlainInsideQuotes(const std::string &ansi)
{
    const std::wstring wide = WideFromAnsi(ansi);
    if (wide.empty())
        return false;
    for (const wchar_t c : wide) {
        if (c < 0x20 || c == 0x7F || c == L'%' || c == L'"' || c == L'^' || c == L'!')
            return false;
    }
    return true;
}
