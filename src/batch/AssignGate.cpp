#include "AssignGate.h"

bool AssignGate::acquire()
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_turnChanged.wait(lock,
                       [&] { return m_interrupted || (m_admitted == ticket && m_inside < m_capacity); });
    if (m_interrupted)
        return false;
    ++m_admitted;
    ++m_inside;
    // The next ticket may fit in as well.
    m_turnChanged.notify_all();
    return true;
}

void AssignGate::release()
{
    {
        const std::lock_guard lock(m_mutex);
        --m_inside;
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
