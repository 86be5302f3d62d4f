#pragma once

// What the cases of the Windows platform test share: the folders it was given and its check record.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

inline std::string stubFolder, sampleFolder, workFolder, self;
inline int failures = 0;

inline void check(bool ok, const std::string &what)
{
    if (!ok) {
        ++failures;
        std::printf("  FAIL: %s\n", what.c_str());
    }
}

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

// The processes a command leaves behind, and the console's control events.
void timeLimitEndsTheJob();
void abortFromAnotherThread();
void commandDiesWithTheProgram();
void consoleControlEvents();
