#pragma once

#include <string>

// Reaching a folder on a machine where other accounts own folders on the way (a home under sudo, /tmp).

// Opens the folder at path (relative paths start at the working folder) one name at a time, never
// following a symlink unless root or the effective user owns both the link and the folder that holds it
// and no one else may change that folder. With makeMissing, absent folders are made with mode 0700,
// whatever the umask. The open descriptor, or -1 with error set (and errno ENOENT when a folder on the
// way is not there).
int OpenFolderSteadily(const std::string &path, bool makeMissing, std::string &error);

// The folder part and the last name of path ("/a/b" -> "/a", "b"; "b" -> ".", "b").
std::pair<std::string, std::string> SplitLastName(const std::string &path);
