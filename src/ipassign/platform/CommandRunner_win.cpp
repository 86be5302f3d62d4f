#include "CommandRunner.h"

#include "WindowsText_win.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace
{

// Hands pending window messages to their windows, so that the window stays painted and answers
// while a host command runs. Gives false once the quit message has come: it is posted again for the
// program's own loop, and the runner hands out no more messages until the command has ended.
bool dispatchPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

// Guards the published Job handle, so that abortRunning never terminates a handle being closed.
std::mutex runningJobMutex;

class Handle
{
public:
    explicit Handle(HANDLE h = nullptr) : m_h(h) {}
    ~Handle()
    {
        if (m_h)
            CloseHandle(m_h);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HANDLE get() const { return m_h; }

private:
    HANDLE m_h;
};

} // namespace

CommandRunner::CommandRunner() = default;

bool CommandRunner::ExecShellCmd(const std::string &command)
{
    if (m_aborted)
        return false;
    const std::string interpreter = ExpandEnvironmentAnsi(L"%ComSpec%");
    if (interpreter.empty())
        return false;
    std::string line = interpreter + " /cChcp 437 && " + command;

    // Every process the command starts belongs to the job, so the time limit ends all of them, and
    // closing the job's last handle (this program ending, however it ends) ends them too.
    Handle job(CreateJobObjectA(nullptr, nullptr));
    if (!job.get())
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return false;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &process))
        return false;
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);
    if (!AssignProcessToJobObject(job.get(), process.hProcess)) {
        TerminateProcess(process.hProcess, 1);
        return false;
    }
    {
        const std::lock_guard lock(runningJobMutex);
        if (m_aborted) {
            TerminateJobObject(job.get(), 1);
            return false;
        }
        m_running = reinterpret_cast<std::intptr_t>(job.get());
    }
    ResumeThread(process.hThread);

    // The limit is checked on every wake-up, so that no stream of messages can hold it off.
    bool ended = false;
    bool dispatching = true;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(m_timeLimit.count());
    for (ULONGLONG now = GetTickCount64(); !ended && now < deadline; now = GetTickCount64()) {
        const auto remaining = static_cast<DWORD>(deadline - now);
        const DWORD woken =
            dispatching ? MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, remaining, QS_ALLINPUT)
                        : WaitForSingleObject(process.hProcess, remaining);
        if (woken == WAIT_OBJECT_0)
            ended = true;
        else if (dispatching && woken == WAIT_OBJECT_0 + 1)
            dispatching = dispatchPendingMessages();
        else if (woken == WAIT_FAILED)
            break;
    }
    if (!ended) {
        TerminateJobObject(job.get(), 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    {
        const std::lock_guard lock(runningJobMutex);
        m_running = 0;
    }
    return ended && !m_aborted;
}

void CommandRunner::abortRunning()
{
    m_aborted = true;
    const std::lock_guard lock(runningJobMutex);
    // m_running holds the Job handle of the running command, published under the lock.
    if (const std::intptr_t job = m_running.load(); job != 0)
        TerminateJobObject(reinterpret_cast<HANDLE>(job), 1); // NOLINT(performance-no-int-to-ptr)
}

std::string QuoteForShell(const std::string &text)
{
    if (!IsPlainInsideQuotes(text))
        return {};
    return "\"" + text + "\"";
}
