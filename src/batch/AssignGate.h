#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// Lets the units' IP assignments in, at most `capacity` at once, in the order they ask. Where the
// neighbour-table delete that starts an assignment may clear another unit's entry, the capacity is 1.
class AssignGate
{
public:
    explicit AssignGate(int capacity) : m_capacity(capacity < 1 ? 1 : capacity) {}

    // Waits for this caller's turn. False, at once, once the gate has been interrupted.
    bool acquire();
    // Ends the turn that acquire gave.
    void release();
    // From any thread: every waiting and later acquire fails.
    void interrupt();

private:
    const int m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    std::uint64_t m_nextTicket = 0;
    std::uint64_t m_admitted = 0; // tickets let in so far
    int m_inside = 0;
    bool m_interrupted = false;
};
