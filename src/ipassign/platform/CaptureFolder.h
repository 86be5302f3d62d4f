#pragma once

#include <string>

// The folder that holds the capture file of the host commands, and the file deletion the capture
// lifecycle needs.

// Separator between a folder and the names in it, as the host's command interpreter writes paths.
char HostPathSeparator();

// Where the capture folder lives: %TEMP% on Windows; $XDG_RUNTIME_DIR, else the temp location, on POSIX.
std::string CaptureBaseFolder();

// Makes sure <base>/QV512 is a folder fit for the capture file and gives its path, or "" when it cannot
// be made. An entry of that name that is not a fit folder is removed first. On POSIX the folder must be
// a real folder (no symlink), owned by the user, mode 0700. On Windows a base that the command
// interpreter would read as more than a name inside double quotes (%, ", ^, !, control characters) or
// that the ANSI code page cannot hold gives "".
std::string MakeCaptureFolder(const std::string &base);

// Deletes a file, read-only and hidden ones too. False on any failure (no such file included).
bool DeleteFileForced(const std::string &path);
