#include "CommandRunner.h"

#include <windows.h>

#include <string>
#include <vector>

namespace
{

std::string expandEnvironment(const char *text)
{
    const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (needed == 0)
        return {};
    std::vector<char> buffer(needed);
    if (ExpandEnvironmentStringsA(text, buffer.data(), needed) == 0)
        return {};
    return std::string(buffer.data());
}

// Hands pending window messages to their windows, so that the window stays painted and answers
// while a host command runs.
void dispatchPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

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
    const std::string interpreter = expandEnvironment("%ComSpec%");
    if (interpreter.empty())
        return false;
    std::string line = interpreter + " /cChcp 437 && " + command;

    // Every process the command starts belongs to the job, so the time limit ends all of them.
    Handle job(CreateJobObjectA(nullptr, nullptr));
    if (!job.get())
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
    ResumeThread(process.hThread);

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(m_timeLimit.count());
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, remaining, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_OBJECT_0 + 1) {
            dispatchPendingMessages();
            continue;
        }
        TerminateJobObject(job.get(), 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        return false;
    }
}
