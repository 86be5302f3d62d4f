#pragma once

#include <cstdio>
#include <string_view>

// Writes UTF-8 text to standard output or standard error and flushes it. On a Windows console the text
// goes as UTF-16 through the console itself, so that the console's code page (932, 437, ...) cannot
// garble labels and messages; to a file or a pipe, and on POSIX, it goes as the UTF-8 bytes. Returns
// false when not all of it was written.
bool WriteStandardText(std::FILE *stream, std::string_view utf8);
