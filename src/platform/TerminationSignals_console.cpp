#include "TerminationSignals.h"

#include "ConsoleControl.h"

#include <QMetaObject>
#include <QPointer>

#include <csignal>

// On Windows the requests to end come as console control events; the window's own close comes as a
// window message and needs nothing here.
namespace
{

#ifndef SIGBREAK
constexpr int SIGBREAK = 21; // MSVC's and MinGW's number for Ctrl+Break
#endif

int signalNumberOf(ConsoleControlEvent event)
{
    switch (event) {
    case ConsoleControlEvent::Interrupt:
        return SIGINT;
    case ConsoleControlEvent::Break:
        return SIGBREAK;
    case ConsoleControlEvent::Close:
        break;
    }
    return SIGTERM;
}

} // namespace

struct TerminationSignals::Hooks {
    bool installed = false;
};

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent), m_hooks(std::make_unique<Hooks>())
{
    // Called on the system's handler thread: the signal is queued to this object's thread.
    const auto onEvent = [](void *context, ConsoleControlEvent event) {
        auto *self = static_cast<TerminationSignals *>(context);
        const int signalNumber = signalNumberOf(event);
        QMetaObject::invokeMethod(
            self, [self, signalNumber] { emit self->terminationRequested(signalNumber); },
            Qt::QueuedConnection);
    };
    m_hooks->installed = InstallConsoleControl(onEvent, this);
}

TerminationSignals::~TerminationSignals()
{
    if (m_hooks->installed)
        RemoveConsoleControl();
}
