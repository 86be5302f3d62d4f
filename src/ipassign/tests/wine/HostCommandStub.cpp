// Stands in for the Windows host commands under Wine; one program copied under each name it plays
// (arp, ping, netsh, chcp, and the helpers errcmd, slowcmd, comspec). It touches no network: it
// prints the recorded Windows output for its command line and appends that line to the log named
// by PELMORA2_STUB_LOG, so the test sees exactly what cmd.exe started.
#include <windows.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string environment(const char *name)
{
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string lowered(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The name this copy plays: its file name without folder and extension.
std::string role()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/") + 1);
    return lowered(name.substr(0, name.find('.')));
}

// The command line after the program's own name, without the blanks that the redirection left.
std::string arguments(const std::string &line)
{
    size_t i = 0;
    if (!line.empty() && line[0] == '"')
        i = line.find('"', 1) + 1;
    else
        i = line.find(' ');
    if (i == std::string::npos || i >= line.size())
        return {};
    std::string args = line.substr(line[i] == ' ' ? i + 1 : i);
    args.erase(args.find_last_not_of(' ') + 1);
    return args;
}

void appendToLog(const std::string &entry)
{
    const std::string log = environment("PELMORA2_STUB_LOG");
    if (log.empty())
        return;
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(file);
}

// Bytes as they are: no text-mode line-end translation.
void put(DWORD stream, const std::string &bytes)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string sample(const std::string &name)
{
    std::ifstream in(environment("PELMORA2_STUB_DATA") + "\\" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Starts a copy of this program that sleeps too, so that a runner has a grandchild to end.
void startSleepingChild(const std::string &pidFile)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = "slowcmd \"" + pidFile + "\" child";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(self, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// slowcmd "<pid file>" [child]: notes its process id in the file and sleeps a minute.
int slowCommand(const std::string &args)
{
    const size_t close = args.find('"', 1);
    if (args.empty() || args[0] != '"' || close == std::string::npos)
        return 2;
    const std::string pidFile = args.substr(1, close - 1);
    if (args.find(" child") == std::string::npos)
        startSleepingChild(pidFile);
    std::ofstream(pidFile, std::ios::app) << GetCurrentProcessId() << "\n";
    Sleep(60000);
    return 0;
}

} // namespace

int main()
{
    const std::string line = GetCommandLineA();
    const std::string name = role();
    const std::string args = arguments(line);
    appendToLog(name + "|" + line + "\n");

    if (args == "/stubcheck") {
        put(STD_OUTPUT_HANDLE, "PELMORA2 STUB " + name + "\r\n");
        return 0;
    }
    if (name == "chcp") {
        put(STD_OUTPUT_HANDLE, "Active code page: 437\r\n");
    } else if (name == "arp") {
        if (args == "-a")
            put(STD_OUTPUT_HANDLE, sample("arp-a.txt"));
    } else if (name == "ping") {
        for (const char *file : {"ping-reply.txt", "ping-timeout.txt"}) {
            const std::string output = sample(file);
            if (output.find("Pinging " + args + " ") != std::string::npos)
                put(STD_OUTPUT_HANDLE, output);
        }
    } else if (name == "netsh") {
        const std::string showConfig = "interface ip show config ";
        if (args == "interface ip show interface")
            put(STD_OUTPUT_HANDLE, sample("netsh-show-interface.txt"));
        else if (args.rfind(showConfig, 0) == 0)
            put(STD_OUTPUT_HANDLE, sample("netsh-show-config-" + args.substr(showConfig.size()) + ".txt"));
    } else if (name == "errcmd") {
        put(STD_OUTPUT_HANDLE, "to standard output\r\n");
        put(STD_ERROR_HANDLE, "to standard error\r\n");
    } else if (name == "slowcmd") {
        return slowCommand(args);
    }
    return 0;
}
