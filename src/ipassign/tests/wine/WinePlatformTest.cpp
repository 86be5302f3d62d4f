// The Windows platform layer run for real under Wine: the runner through Wine's cmd.exe, the capture
// folder on Wine's file system, the host questions against Wine's registry and code page 932.
// Usage: wine windows_platform_test.exe <stub folder> <sample folder> <work folder>
// The stub folder is the only folder on PATH, so no real host command can run.
#include "CaptureFolder.h"
#include "CommandRunner.h"
#include "HostQuestions.h"
#include "WindowsText_win.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace
{

std::string stubFolder;
std::string sampleFolder;
std::string workFolder;
int failures = 0;

void check(bool ok, const std::string &what)
{
    if (!ok) {
        ++failures;
        std::printf("  FAIL: %s\n", what.c_str());
    }
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string sample(const std::string &name)
{
    return readFile(sampleFolder + "\\" + name);
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

// The lines of a capture, as the IP pane reads them: ends at CR LF, CR or LF; empty lines dropped.
std::vector<std::string> captureLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char c : readFile(path)) {
        if (c != '\r' && c != '\n') {
            line += c;
        } else if (!line.empty()) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool captureHasLine(const std::string &path, const std::string &text)
{
    for (const std::string &line : captureLines(path)) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

void setTemp(const std::wstring &folder)
{
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

std::wstring wide(const std::string &ansi)
{
    std::wstring text(ansi.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

// A fresh capture folder under the given temporary folder, made the way the program makes it.
std::string captureFileUnder(const std::wstring &temp)
{
    CreateDirectoryW(temp.c_str(), nullptr);
    setTemp(temp);
    const std::string folder = MakeCaptureFolder(CaptureBaseFolder());
    return folder.empty() ? std::string() : folder + "\\temp.txt";
}

// --- processes a command leaves behind -------------------------------------------------------------

std::vector<DWORD> pidsIn(const std::string &pidFile)
{
    std::vector<DWORD> pids;
    std::istringstream in(readFile(pidFile));
    DWORD pid = 0;
    while (in >> pid)
        pids.push_back(pid);
    return pids;
}

bool waitForPids(const std::string &pidFile, size_t count)
{
    for (int i = 0; i < 200 && pidsIn(pidFile).size() < count; ++i)
        Sleep(50);
    return pidsIn(pidFile).size() >= count;
}

// Whether the process has ended within the grace time; a survivor is ended here so that none stays.
bool endedWithin(DWORD pid, DWORD graceMs)
{
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    if (!process)
        return true;
    const bool ended = WaitForSingleObject(process, graceMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return ended;
}

void checkAllEnded(const std::string &pidFile, const std::string &what)
{
    check(pidsIn(pidFile).size() == 2, what + ": the command and its child both started");
    for (const DWORD pid : pidsIn(pidFile))
        check(endedWithin(pid, 5000), what + ": process " + std::to_string(pid) + " has ended");
}

// --- cases -----------------------------------------------------------------------------------------

// Nothing but the stubs answers to the host command names, and nothing outside their folder runs.
bool stubsStandInForHostCommands()
{
    CommandRunner runner;
    bool all = true;
    for (const std::string name : {"arp", "ping", "Ping", "netsh", "chcp"}) {
        const std::string out = workFolder + "\\stubcheck-" + name + ".txt";
        runner.ExecShellCmd(name + " /stubcheck >> " + quoted(out));
        const bool stub = readFile(out).rfind("PELMORA2 STUB", 0) == 0;
        check(stub, name + " is the stub");
        all = all && stub;
    }
    const std::string out = workFolder + "\\hostname.txt";
    check(runner.ExecShellCmd("hostname >> " + quoted(out)), "a command that is not found still ends");
    check(exists(out) && readFile(out).empty(), "a host program outside the stub folder is not found");
    return all && exists(out) && readFile(out).empty();
}

void interpreterLineIsExact()
{
    const std::string recorder = stubFolder + "\\comspec.exe";
    const std::string log = workFolder + "\\comspec.log";
    char interpreter[MAX_PATH] = {};
    GetEnvironmentVariableA("ComSpec", interpreter, MAX_PATH);
    SetEnvironmentVariableA("PELMORA2_STUB_LOG", log.c_str());
    SetEnvironmentVariableA("ComSpec", recorder.c_str());
    CommandRunner runner;
    runner.ExecShellCmd("Ping 10.0.0.5 >> \"C:\\Temp\\QV512\\temp.txt\"");
    SetEnvironmentVariableA("ComSpec", interpreter);
    SetEnvironmentVariableA("PELMORA2_STUB_LOG", (workFolder + "\\stub.log").c_str());
    check(readFile(log) ==
              "comspec|" + recorder + " /cChcp 437 && Ping 10.0.0.5 >> \"C:\\Temp\\QV512\\temp.txt\"\n",
          "interpreter line: " + readFile(log));
}

// Blank, Japanese characters and "&" in the temporary folder: the quoted path holds through cmd.exe.
void captureAppendsInOrderWithoutStandardError()
{
    const std::wstring temp = wide(workFolder) + L"\\temp \u65E5\u672C\u8A9E & (x)";
    const std::string capture = captureFileUnder(temp);
    check(!capture.empty(), "capture folder under a Japanese folder name");
    check(GetFileAttributesW((temp + L"\\QV512").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
          "the capture folder stands under the Japanese name, not a look-alike");
    check(QuoteForShell(capture) == "\"" + capture + "\"",
          "the capture path goes in double quotes as it stands");
    CommandRunner runner;
    check(runner.ExecShellCmd("ping 192.168.0.20 >> " + QuoteForShell(capture)), "ping ran");
    check(runner.ExecShellCmd("arp -a >> " + QuoteForShell(capture)), "arp -a ran");
    check(runner.ExecShellCmd("errcmd >> " + QuoteForShell(capture)), "errcmd ran");
    check(readFile(capture) == sample("ping-reply.txt") + sample("arp-a.txt") + "to standard output\r\n",
          "capture holds ping, then arp -a, then standard output only:\n" + readFile(capture));
}

// The capture-and-read path of ping, assignment and neighbour command, through cmd.exe.
void ipPaneCapturePath()
{
    const std::string capture = captureFileUnder(wide(workFolder) + L"\\pane");
    CommandRunner runner;
    runner.ExecShellCmd("arp -d");
    runner.ExecShellCmd("ping 192.168.0.21 >> " + QuoteForShell(capture));
    check(!captureHasLine(capture, "TTL="), "no TTL= line when nothing answers");
    DeleteFileForced(capture);

    runner.ExecShellCmd("netsh interface ip show interface >> " + QuoteForShell(capture));
    std::vector<std::string> tokens;
    for (const std::string &line : captureLines(capture)) {
        if (line.find(" connected") != std::string::npos) {
            const size_t first = line.find_first_not_of(' ');
            tokens.push_back(line.substr(first, line.find(' ', first) - first + 1));
        }
    }
    check(tokens == std::vector<std::string>{"1 ", "11 "},
          "connected interface tokens in:\n" + readFile(capture));
    DeleteFileForced(capture);

    std::string neighborCommand;
    for (const std::string &token : tokens) {
        runner.ExecShellCmd("netsh interface ip show config " + token + " >> " + QuoteForShell(capture));
        const bool match = captureHasLine(capture, "192.168.0.");
        DeleteFileForced(capture);
        if (match) {
            neighborCommand = "netsh interface ip set neighbors " + token + " 192.168.0.20 0A-00-3C-12-34-56";
            break;
        }
    }
    check(neighborCommand == "netsh interface ip set neighbors 11  192.168.0.20 0A-00-3C-12-34-56",
          "neighbour command names interface 11: " + neighborCommand);
    runner.ExecShellCmd(neighborCommand);
    runner.ExecShellCmd("ping 192.168.0.20 >> " + QuoteForShell(capture));
    check(captureHasLine(capture, "TTL="), "TTL= line of the answered ping");
    runner.ExecShellCmd("arp -a >> " + QuoteForShell(capture));
    check(captureHasLine(capture, "192.168.0.20          0a-00-3c-12-34-56     static"),
          "the neighbour listing follows the ping output");

    const std::string log = readFile(workFolder + "\\stub.log");
    check(log.find("netsh|netsh interface ip set neighbors 11  192.168.0.20 0A-00-3C-12-34-56\n") !=
              std::string::npos,
          "netsh got the neighbour line as built");
    check(log.find("arp|arp -d\n") != std::string::npos, "arp -d ran");
}

double processorSeconds()
{
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// A quit message waiting in the queue must neither make the wait spin nor hold off the limit.
void timeLimitEndsTheJob()
{
    const std::string pidFile = workFolder + "\\limit.pids";
    CommandRunner runner;
    runner.setTimeLimit(1500ms);
    PostQuitMessage(3);
    const auto start = std::chrono::steady_clock::now();
    const double processorBefore = processorSeconds();
    check(!runner.ExecShellCmd("slowcmd " + quoted(pidFile)), "a command past the limit counts as failed");
    check(std::chrono::steady_clock::now() - start < 15s, "the runner returned soon after its limit");
    check(processorSeconds() - processorBefore < 0.1, "the wait did not spin");
    MSG msg{};
    check(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT && msg.wParam == 3,
          "the quit message is still there for the program");
    checkAllEnded(pidFile, "time limit");
}

void abortFromAnotherThread()
{
    const std::string pidFile = workFolder + "\\abort.pids";
    CommandRunner runner;
    std::thread aborter([&] {
        waitForPids(pidFile, 2);
        runner.abortRunning();
    });
    const auto start = std::chrono::steady_clock::now();
    const bool ran = runner.ExecShellCmd("slowcmd " + quoted(pidFile));
    aborter.join();
    check(!ran, "an aborted command counts as failed");
    check(std::chrono::steady_clock::now() - start < 30s, "the abort ended the command before its sleep");
    checkAllEnded(pidFile, "abort");
    const std::string after = workFolder + "\\after-abort.txt";
    check(!runner.ExecShellCmd("arp -a >> " + quoted(after)) && !exists(after),
          "nothing starts after an abort");
}

// The program killed while a command runs: the Job's last handle closes and the command goes with it.
void commandDiesWithTheProgram(const std::string &self)
{
    const std::string pidFile = workFolder + "\\orphan.pids";
    std::string line = quoted(self) + " --run slowcmd " + quoted(pidFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    if (!CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &program)) {
        check(false, "the program stand-in started");
        return;
    }
    waitForPids(pidFile, 2);
    TerminateProcess(program.hProcess, 9);
    WaitForSingleObject(program.hProcess, 5000);
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
    checkAllEnded(pidFile, "program killed");
}

void captureFolderAndDelFile()
{
    const std::string base = workFolder + "\\folders";
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string entry = base + "\\QV512";
    std::ofstream(entry) << "a file in the way";
    SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    check(MakeCaptureFolder(base) == entry, "capture folder path");
    check((GetFileAttributesA(entry.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0,
          "a file QV512 became a folder");

    const std::string capture = entry + "\\temp.txt";
    for (const DWORD attributes :
         std::initializer_list<DWORD>{FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY}) {
        std::ofstream(capture) << "leftover";
        SetFileAttributesA(capture.c_str(), attributes);
        check(DeleteFileForced(capture) && !exists(capture),
              "leftover with attributes " + std::to_string(attributes) + " deleted");
    }
    check(!DeleteFileForced(capture), "DelFile of a missing file gives false");

    std::ofstream(capture) << "in use";
    HANDLE open = CreateFileA(capture.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    check(!DeleteFileForced(capture) && exists(capture), "DelFile of an open file gives false");
    CloseHandle(open);
}

// A temporary folder that cmd.exe would interpret inside the quotes, or that has no exact ANSI name,
// is refused by the quoting and the capture folder alike, and nothing is made.
void interpretedTemporaryFolderIsRefused()
{
    const struct {
        const wchar_t *name;
        const char *label;
    } rows[] = {{L"pct%PATH%dir", "percent"},
                {L"caret^dir", "caret"},
                {L"bang!dir!", "exclamation mark"},
                {L"quote\"dir", "double quote"},
                {L"tab\tdir", "tab"},
                {L"caf\u00E9", "name code page 932 has no exact form for"}};
    for (const auto &row : rows) {
        const std::wstring temp = wide(workFolder) + L"\\" + row.name;
        check(captureFileUnder(temp).empty() && QuoteForShell(AnsiFromWide(temp)).empty(),
              std::string("temporary folder with a ") + row.label + " refused");
        check(GetFileAttributesW((temp + L"\\QV512").c_str()) == INVALID_FILE_ATTRIBUTES,
              std::string("no capture folder under the folder with a ") + row.label);
    }
}

void hostQuestions()
{
    const auto host = CreateHostQuestions();
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&extended));
    check(host->majorVersion() == static_cast<int>(extended.dwMajorVersion), "major version");

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    BOOL member = FALSE;
    AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                             &admins);
    CheckTokenMembership(nullptr, admins, &member);
    FreeSid(admins);
    check(host->isAdministrator() == (member != FALSE), "administrator rights");

    check(GetACP() == 932, "the prefix runs with code page 932 (Japanese locale)");
    wchar_t previous[16] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, previous, 16);
    const struct {
        const wchar_t *symbol;
        std::string expected;
    } rows[] = {
        {L"\u00A5", "\\"},
        {L"$", "$"},
        {L"\uFFE5", "\xEF\xBF\xA5"},
        {L"\u5186\u5186\u5186\u5186\u5186", "\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86"}};
    for (const auto &row : rows) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, row.symbol);
        wchar_t stored[16] = {};
        DWORD size = sizeof stored;
        RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\International", L"sCurrency", RRF_RT_REG_SZ, nullptr,
                     stored, &size);
        check(std::wstring(stored) == row.symbol, "sCurrency is set in the registry");
        check(host->currencySymbol() == row.expected, "currency symbol reads as " + row.expected);
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, previous);
}

std::string ownPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    // The program stand-in: one runner with one command, until it is killed.
    if (argc == 4 && std::string(argv[1]) == "--run") {
        CommandRunner runner;
        runner.ExecShellCmd(std::string(argv[2]) + " " + quoted(argv[3]));
        return 0;
    }
    if (argc != 4) {
        std::printf("usage: %s <stub folder> <sample folder> <work folder>\n", argv[0]);
        return 2;
    }
    stubFolder = argv[1];
    sampleFolder = argv[2];
    workFolder = argv[3];
    CreateDirectoryA(workFolder.c_str(), nullptr);
    SetCurrentDirectoryA(workFolder.c_str());
    SetEnvironmentVariableA("PATH", stubFolder.c_str());
    SetEnvironmentVariableA("PELMORA2_STUB_DATA", sampleFolder.c_str());
    SetEnvironmentVariableA("PELMORA2_STUB_LOG", (workFolder + "\\stub.log").c_str());

    std::printf("stubs stand in for the host commands\n");
    if (!stubsStandInForHostCommands()) {
        std::printf("FAILED: the host command names do not reach the stubs; nothing else is run\n");
        return 1;
    }
    const std::string self = ownPath();
    const std::vector<std::pair<const char *, std::function<void()>>> cases = {
        {"interpreter line is exact", interpreterLineIsExact},
        {"capture appends in order without standard error", captureAppendsInOrderWithoutStandardError},
        {"IP pane capture path", ipPaneCapturePath},
        {"time limit ends the job", timeLimitEndsTheJob},
        {"abort from another thread", abortFromAnotherThread},
        {"command dies with the program", [&] { commandDiesWithTheProgram(self); }},
        {"capture folder and DelFile", captureFolderAndDelFile},
        {"interpreted temporary folder is refused", interpretedTemporaryFolderIsRefused},
        {"host questions", hostQuestions},
    };
    for (const auto &[name, run] : cases) {
        const int before = failures;
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::printf("%s %s (%lld ms)\n", failures == before ? "PASS" : "FAIL", name,
                    static_cast<long long>(ms.count()));
    }
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
