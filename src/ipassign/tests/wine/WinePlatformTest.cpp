// The Windows platform layer run for real under Wine: the runner through Wine's cmd.exe, the capture
// folder on Wine's file system, the host questions against Wine's registry and code page 932.
// Usage: wine windows_platform_test.exe <stub folder> <sample folder> <work folder>
// The stub folder is the only folder on PATH, so no real host command can run.
#include "CaptureFolder.h"
#include "CommandRunner.h"
#include "HostQuestions.h"
#include "WindowsText_win.h"
#include "WineCheck.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

std::wstring wide(const std::string &ansi)
{
    std::wstring text(ansi.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

// A fresh capture file under the given temporary folder, its folder made the way the program makes it.
std::string captureFileUnder(const std::wstring &temp)
{
    CreateDirectoryW(temp.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    const std::string folder = MakeCaptureFolder(CaptureBaseFolder());
    return folder.empty() ? std::string() : folder + "\\temp.txt";
}

// Nothing but the stubs answers to the host command names, and nothing outside their folder runs.
bool stubsStandInForHostCommands()
{
    CommandRunner runner;
    const int before = failures;
    for (const std::string name : {"arp", "ping", "Ping", "netsh", "chcp"}) {
        const std::string out = workFolder + "\\stubcheck-" + name + ".txt";
        runner.ExecShellCmd(name + " /stubcheck >> " + quoted(out));
        check(readFile(out).rfind("PELMORA2 STUB", 0) == 0, name + " is the stub");
    }
    const std::string out = workFolder + "\\hostname.txt";
    check(runner.ExecShellCmd("hostname >> " + quoted(out)), "a command that is not found still ends");
    check(exists(out) && readFile(out).empty(), "a host program outside the stub folder is not found");
    return failures == before;
}

// The interpreter's whole line, as a recorder in place of cmd.exe receives it.
void interpreterLineIsExact()
{
    const std::string recorder = stubFolder + "\\comspec.exe", log = workFolder + "\\comspec.log";
    char interpreter[MAX_PATH] = {};
    GetEnvironmentVariableA("ComSpec", interpreter, MAX_PATH);
    SetEnvironmentVariableA("PELMORA2_STUB_LOG", log.c_str());
    SetEnvironmentVariableA("ComSpec", recorder.c_str());
    CommandRunner().ExecShellCmd("Ping 10.0.0.5 >> \"C:\\Temp\\QV512\\temp.txt\"");
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
    check(GetFileAttributesW((temp + L"\\QV512").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
          "the capture folder stands under the Japanese name, not a look-alike");
    CommandRunner runner;
    for (const char *command : {"ping 192.168.0.20", "arp -a", "errcmd"})
        check(runner.ExecShellCmd(command + (" >> " + QuoteForShell(capture))),
              std::string(command) + " ran");
    check(readFile(capture) == readFile(sampleFolder + "\\ping-reply.txt") +
                                   readFile(sampleFolder + "\\arp-a.txt") + "to standard output\r\n",
          "capture holds ping, then arp -a, then standard output only:\n" + readFile(capture));
}

void captureFolderAndDelFile()
{
    const std::string base = workFolder + "\\folders", entry = base + "\\QV512",
                      capture = entry + "\\temp.txt";
    CreateDirectoryA(base.c_str(), nullptr);
    std::ofstream(entry) << "a file in the way";
    SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    check(MakeCaptureFolder(base) == entry && (GetFileAttributesA(entry.c_str()) & FILE_ATTRIBUTE_DIRECTORY),
          "a file QV512 became the capture folder");
    for (const DWORD attributes : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_READONLY),
                                   DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY)}) {
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

// A temporary folder that cmd.exe would interpret inside the quotes, or that has no exact ANSI name
// (code page 932 has no "e" with accent), is refused by the quoting and the capture folder alike.
void interpretedTemporaryFolderIsRefused()
{
    for (const wchar_t *name :
         {L"pct%PATH%dir", L"caret^dir", L"bang!dir!", L"quote\"dir", L"tab\tdir", L"caf\u00E9"}) {
        const std::wstring temp = wide(workFolder) + L"\\" + name;
        const std::string label = AnsiFromWide(name).empty() ? "caf\\u00E9" : AnsiFromWide(name);
        check(captureFileUnder(temp).empty() && QuoteForShell(AnsiFromWide(temp)).empty(),
              "temporary folder " + label + " refused");
        check(GetFileAttributesW((temp + L"\\QV512").c_str()) == INVALID_FILE_ATTRIBUTES,
              "no capture folder under " + label);
    }
}

void hostQuestions()
{
    const auto host = CreateHostQuestions();

    // What the neighbour refusal knows of this host comes from the IP Helper API: loopback at least.
    const auto subnets = host->neighbourHost().subnets;
    check(std::any_of(subnets.begin(), subnets.end(),
                      [](const HostSubnet &s) { return s.address == 0x7F000001 && s.prefixLength == 8; }),
          "this host's subnets include 127.0.0.1/8");

    // Code page 932 has the yen sign at the backslash's place; the other symbols read back as UTF-8.
    check(GetACP() == 932, "the prefix runs with code page 932 (Japanese locale)");
    wchar_t previous[16] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, previous, 16);
    const std::pair<const wchar_t *, std::string> rows[] = {
        {L"\u00A5", "\\"},
        {L"$", "$"},
        {L"\uFFE5", "\xEF\xBF\xA5"},
        {L"\u5186\u5186\u5186\u5186\u5186", "\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86\xE5\x86\x86"}};
    for (const auto &[symbol, expected] : rows) {
        check(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, symbol) &&
                  host->currencySymbol() == expected,
              "currency symbol reads as " + expected);
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, previous);
}

} // namespace

int main(int argc, char **argv)
{
    // The program stand-in: one runner with one command, until it is killed.
    if (argc == 3 && std::string(argv[1]) == "--run")
        return CommandRunner().ExecShellCmd("slowcmd " + quoted(argv[2])) ? 0 : 1;
    if (argc != 4) {
        std::printf("usage: %s <stub folder> <sample folder> <work folder>\n", argv[0]);
        return 2;
    }
    stubFolder = argv[1], sampleFolder = argv[2], workFolder = argv[3];
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    self = path;
    CreateDirectoryA(workFolder.c_str(), nullptr);
    SetCurrentDirectoryA(workFolder.c_str());
    SetEnvironmentVariableA("PATH", stubFolder.c_str());
    SetEnvironmentVariableA("PELMORA2_STUB_DATA", sampleFolder.c_str());
    SetEnvironmentVariableA("PELMORA2_STUB_LOG", (workFolder + "\\stub.log").c_str());

    if (!stubsStandInForHostCommands()) {
        std::printf("FAILED: the host command names do not reach the stubs; nothing else is run\n");
        return 1;
    }
    const std::pair<const char *, void (*)()> cases[] = {
        {"interpreter line is exact", interpreterLineIsExact},
        {"capture appends in order without standard error", captureAppendsInOrderWithoutStandardError},
        {"time limit ends the job", timeLimitEndsTheJob},
        {"abort from another thread", abortFromAnotherThread},
        {"command dies with the program", commandDiesWithTheProgram},
        {"capture folder and DelFile", captureFolderAndDelFile},
        {"interpreted temporary folder is refused", interpretedTemporaryFolderIsRefused},
        {"host questions", hostQuestions},
        {"console control events", consoleControlEvents},
    };
    for (const auto &[name, run] : cases) {
        const int before = failures;
        run();
        std::printf("%s %s\n", failures == before ? "PASS" : "FAIL", name);
    }
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
