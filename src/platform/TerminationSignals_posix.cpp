#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

constexpr std::array kCaught{SIGTERM, SIGHUP, SIGINT};

// The handler may only do async-signal-safe work: it writes the signal's number into a socket whose
// other end the event loop watches.
volatile std::sig_atomic_t g_writeFd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (g_writeFd >= 0)
        (void)!::write(g_writeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

struct TerminationSignals::Hooks {
    std::array<int, 2> fds{-1, -1};
    std::array<struct sigaction, kCaught.size()> previous{};
    std::unique_ptr<QSocketNotifier> notifier;
};

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent), m_hooks(std::make_unique<Hooks>())
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_hooks->fds.data()) != 0)
        return;
    g_writeFd = m_hooks->fds[1];
    m_hooks->notifier = std::make_unique<QSocketNotifier>(m_hooks->fds[0], QSocketNotifier::Read);
    connect(m_hooks->notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(m_hooks->fds[0], &byte, 1) == 1)
            emit terminationRequested(byte);
    });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kCaught.size(); ++i) {
        // A signal ignored from the start stays ignored: nohup's SIGHUP is not a request to end.
        ::sigaction(kCaught[i], nullptr, &m_hooks->previous[i]);
        if (m_hooks->previous[i].sa_handler != SIG_IGN)
            ::sigaction(kCaught[i], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (m_hooks->fds[0] < 0)
        return;
    for (std::size_t i = 0; i < kCaught.size(); ++i)
        ::sigaction(kCaught[i], &m_hooks->previous[i], nullptr);
    g_writeFd = -1;
    m_hooks->notifier.reset();
    ::close(m_hooks->fds[0]);
    ::close(m_hooks->fds[1]);
}
