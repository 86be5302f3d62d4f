#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// Lets the units' IP assignments run one at a time, in the order they ask: each one changes the host's
// neighbour table and uses the one capture file.
class AssignGate
{
public:
    // Waits for this caller's turn. False, at once, once the gate has been interrupted.
    bool acquire();
    // Ends the turn that acquire gave.
    void release();
    // From any thread: every waiting and later acquire fails.
    void interrupt();

private:
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    std::uint64_t m_nextTicket = 0;
    std::uint64_t m_serving = 0;
    bool m_interrupted = false;
};
