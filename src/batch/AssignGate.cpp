#include "AssignGate.h"

bool AssignGate::acquire()
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_turnChanged.wait(lock, [&] { return m_interrupted || m_serving == ticket; });
    return !m_interrupted;
}

void AssignGate::release()
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_serving;
    }
    m_turnChanged.notify_all();
}

void AssignGate::interrupt()
{
    {
        const std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_turnChanged.notify_all();
}
