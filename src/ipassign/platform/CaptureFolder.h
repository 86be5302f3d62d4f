#pragma once

#include <string>

// The folder that holds the capture file of the host commands, and the file deletion the capture
// lifecycle needs.

// Separator between a folder and the names in it, as the host's command interpreter writes paths.
char HostPathSeparator();

// Where the capture folder lives: %TEMP% on Windows. On POSIX the first of $XDG_RUNTIME_DIR, the temp
// location and /tmp that no other user can change: every folder on its real path belongs to root or to
// the user and is writable by no one else unless it has the sticky bit. "" when there is none.
std::string CaptureBaseFolder();

// Gives the path of a folder fit for the capture file under base, or "" when none can be had.
// Windows: <base>\QV512, made when absent; an entry of that name that is not a folder is removed first;
// "" for a base that QuoteForShell refuses or that the ANSI code page cannot hold.
// POSIX (the program may run as root, and base may be shared with other users): a private folder of this
// process, <base>/QV512.XXXXXX, made atomically and kept for the rest of the run, so two instances never
// share a capture file; removed at the end when it is empty. Leftovers of earlier runs (folders QV512 and
// QV512.XXXXXX of the user's own with mode 0700 that no running instance holds) go with their capture
// file; any other entry is never deleted, followed or written into.
std::string MakeCaptureFolder(const std::string &base);

// The capture folder's path as MakeCaptureFolder(base) makes it, for telling before anything is made:
// Windows <base>\QV512; POSIX <base>/QV512.XXXXXX, where the Xs stand for the letters the folder gets.
std::string CaptureFolderTemplate(const std::string &base);

// Deletes a file, read-only and hidden ones too. False on any failure (no such file included).
// On POSIX only a file directly inside a folder of the user with mode 0700 is deleted, by its name
// relative to that open folder; a symlink is removed itself, never followed.
bool DeleteFileForced(const std::string &path);
