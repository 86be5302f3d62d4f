#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

// Runs one host command line through the host's command interpreter, with no window, after switching
// the console to code page 437: Windows "%ComSpec% /cChcp 437 && <command>"; POSIX
// /bin/sh -c "chcp 437 && <command>" with the host adapters first on PATH. Window events keep being
// dispatched while the command runs.
class CommandRunner
{
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit{120000};

    CommandRunner();

    // The folder whose programs stand in for the Windows host commands (POSIX only). Defaults to the
    // "hostcmd" folder next to the executable.
    void setAdapterFolder(const std::string &folder) { m_adapterFolder = folder; }
    const std::string &adapterFolder() const { return m_adapterFolder; }

    // A command still running after this long is killed, with everything it started.
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    std::chrono::milliseconds timeLimit() const { return m_timeLimit; }

    // Returns when the command has ended. False when it could not be started or was killed at the
    // time limit; the command's own exit code is not looked at.
    bool ExecShellCmd(const std::string &command);

    // Ends the command now running at once, with everything it started (POSIX: its process group;
    // Windows: its Job object), from any thread; ExecShellCmd then returns false. From then on
    // ExecShellCmd starts nothing and returns false.
    void abortRunning();

private:
    std::string m_adapterFolder;
    std::chrono::milliseconds m_timeLimit = DefaultTimeLimit;
    std::atomic<bool> m_aborted{false};
    // What abortRunning ends: POSIX the process group id, Windows the Job handle; 0 when idle.
    std::atomic<std::intptr_t> m_running{0};
};

// The text as one word that the host's command interpreter reads as it stands, none of its characters
// interpreted (POSIX sh: single quotes, each ' written as '\''; Windows cmd.exe: double quotes), or ""
// when the interpreter cannot be made to (Windows: text with characters cmd.exe interprets even inside
// double quotes). Text from the environment or from files goes into a command line only through this.
std::string QuoteForShell(const std::string &text);
