// Stands in for the Windows host commands under Wine; one program copied under each name it plays
// (arp, ping, netsh, chcp, and the helpers errcmd, slowcmd, comspec). It touches no network: it
// prints the recorded Windows output for its command line and appends that line to the log named
// by PELMORA2_STUB_LOG, so the test sees exactly what cmd.exe started.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::string ownPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The command line after the program's own name, without the blanks that the redirection left.
std::string arguments(const std::string &line)
{
    size_t i = line.empty() || line[0] != '"' ? line.find(' ') : line.find('"', 1) + 1;
    if (i == std::string::npos || i >= line.size())
        return {};
    std::string args = line.substr(line[i] == ' ' ? i + 1 : i);
    args.erase(args.find_last_not_of(' ') + 1);
    return args;
}

// Bytes as they are: no text-mode line-end translation.
void put(const std::string &bytes, DWORD stream = STD_OUTPUT_HANDLE)
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

// slowcmd "<pid file>" [child]: notes its process id in the file and sleeps a minute; without "child"
// it first starts a copy of itself that does the same, so that a runner has a grandchild to end.
int slowCommand(const std::string &args)
{
    const size_t close = args.find('"', 1);
    if (args.empty() || args[0] != '"' || close == std::string::npos)
        return 2;
    if (args.find(" child") == std::string::npos) {
        std::string line = "slowcmd " + args.substr(0, close + 1) + " child";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(ownPath().c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                           nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    std::ofstream(args.substr(1, close - 1), std::ios::app) << GetCurrentProcessId() << "\n";
    Sleep(60000);
    return 0;
}

} // namespace

int main()
{
    const std::string line = GetCommandLineA(), args = arguments(line);
    // The name this copy plays: its file name without folder and extension.
    std::string name = ownPath();
    name = name.substr(name.find_last_of("\\/") + 1);
    name = name.substr(0, name.find('.'));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (const std::string log = environment("PELMORA2_STUB_LOG"); !log.empty())
        std::ofstream(log, std::ios::app | std::ios::binary) << name << "|" << line << "\n";

    const std::string showConfig = "interface ip show config ";
    if (args == "/stubcheck")
        put("PELMORA2 STUB " + name + "\r\n");
    else if (name == "chcp")
        put("Active code page: 437\r\n");
    else if (name == "arp" && args == "-a")
        put(sample("arp-a.txt"));
    else if (name == "ping") {
        for (const char *file : {"ping-reply.txt", "ping-timeout.txt"}) {
            if (sample(file).find("Pinging " + args + " ") != std::string::npos)
                put(sample(file));
        }
    } else if (name == "netsh" && args == "interface ip show interface")
        put(sample("netsh-show-interface.txt"));
    else if (name == "netsh" && args.rfind(showConfig, 0) == 0)
        put(sample("netsh-show-config-" + args.substr(showConfig.size()) + ".txt"));
    else if (name == "errcmd") {
        put("to standard output\r\n");
        put("to standard error\r\n", STD_ERROR_HANDLE);
    } else if (name == "slowcmd")
        return slowCommand(args);
    return 0;
}
