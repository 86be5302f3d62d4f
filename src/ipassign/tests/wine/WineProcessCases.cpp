// The runner's processes under Wine: a command past its time limit, an abort from another thread and
// the program killed mid-command each end the command with what it started; and the console's control
// events reach the program.
#include "CommandRunner.h"
#include "ConsoleControl.h"
#include "WineCheck.h"

#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace
{

// slowcmd notes its own id and its child's in the pid file.

std::vector<DWORD> pidsIn(const std::string &pidFile)
{
    std::istringstream in(readFile(pidFile));
    return {std::istream_iterator<DWORD>(in), std::istream_iterator<DWORD>()};
}

void waitForBothPids(const std::string &pidFile)
{
    for (int i = 0; i < 200 && pidsIn(pidFile).size() < 2; ++i)
        Sleep(50);
}

// Each process must have ended within the grace time; a survivor is ended here so that none stays.
void checkAllEnded(const std::string &pidFile, const std::string &what)
{
    check(pidsIn(pidFile).size() == 2, what + ": the command and its child both started");
    for (const DWORD pid : pidsIn(pidFile)) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        if (!process)
            continue;
        const bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
        check(ended, what + ": process " + std::to_string(pid) + " has ended");
        if (!ended)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
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

} // namespace

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
    const std::string pidFile = workFolder + "\\abort.pids", after = workFolder + "\\after-abort.txt";
    CommandRunner runner;
    std::thread aborter([&] {
        waitForBothPids(pidFile);
        runner.abortRunning();
    });
    const auto start = std::chrono::steady_clock::now();
    check(!runner.ExecShellCmd("slowcmd " + quoted(pidFile)), "an aborted command counts as failed");
    aborter.join();
    check(std::chrono::steady_clock::now() - start < 30s, "the abort ended the command before its sleep");
    checkAllEnded(pidFile, "abort");
    check(!runner.ExecShellCmd("arp -a >> " + quoted(after)) && !exists(after),
          "nothing starts after an abort");
}

// The program killed while a command runs: the Job's last handle closes and the command goes with it.
void commandDiesWithTheProgram()
{
    const std::string pidFile = workFolder + "\\orphan.pids";
    std::string line = quoted(self) + " --run " + quoted(pidFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    check(CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &program),
          "the program stand-in started");
    waitForBothPids(pidFile);
    TerminateProcess(program.hProcess, 9);
    WaitForSingleObject(program.hProcess, 5000);
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
    checkAllEnded(pidFile, "program killed");
}

// Ctrl+C, Ctrl+Break and a close of the console reach the program's callback from the thread the
// system calls the routine on (Wine cannot deliver these events, so the test calls the routine as the
// system does); after a close the routine holds the process until the program has done its work.
void consoleControlEvents()
{
    struct Seen {
        std::atomic<int> last{-1};
    } seen;
    const auto record = [](void *context, ConsoleControlEvent event) {
        static_cast<Seen *>(context)->last = static_cast<int>(event);
    };
    check(InstallConsoleControl(record, &seen), "the handler routine is installed");
    const std::pair<unsigned long, ConsoleControlEvent> rows[] = {
        {CTRL_C_EVENT, ConsoleControlEvent::Interrupt}, {CTRL_BREAK_EVENT, ConsoleControlEvent::Break}};
    for (const auto &[event, expected] : rows) {
        seen.last = -1;
        int handled = 0;
        std::thread([&handled, event = event] { handled = ConsoleControlRoutine(event); }).join();
        check(handled == 1 && seen.last == static_cast<int>(expected),
              "control event " + std::to_string(event) + " handled and handed on");
    }
    std::atomic<bool> returned{false};
    std::thread closer([&returned] {
        ConsoleControlRoutine(CTRL_CLOSE_EVENT);
        returned = true;
    });
    Sleep(500);
    check(seen.last == static_cast<int>(ConsoleControlEvent::Close) && !returned,
          "after a close the routine waits for the program");
    RemoveConsoleControl();
    closer.join();
    check(returned, "the close routine returns once the program is done");
    seen.last = -1;
    check(ConsoleControlRoutine(CTRL_C_EVENT) == 0 && seen.last == -1, "nothing is handled after removal");
}
