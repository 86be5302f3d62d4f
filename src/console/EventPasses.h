#pragma once

#include <QDeadlineTimer>
#include <QTimer>

// The passes of one wait through the event loop. The first pass only services what is already pending
// (a condition may hold before anything new arrives); every later pass sleeps until the next event -
// socket data, connection, bytes written, timer tick or user input - and services it.
class EventPasses
{
public:
    void next();

private:
    bool m_first = true;
};

// Services the events already pending, without waiting for more.
void servicePendingEvents();

// The system lets a long sleep end late by about a thousandth of its length (10 ms on 10 s). A wait
// with a long limit is therefore woken shortly before it, so that it sleeps only a short rest.
class NearLimitWakeup
{
public:
    explicit NearLimitWakeup(int limitMs);

private:
    static constexpr int kFinalSleepMs = 250;
    QTimer m_timer;
};

// The limit of one wait, measured on the monotonic clock from the moment its timer is enabled. The
// timer's tick wakes the wait; the deadline makes the limit hold even when the tick is dispatched late.
class WaitLimit
{
public:
    // Enables timer with its current interval (an interval of 0 never ticks); disables it at the end.
    explicit WaitLimit(QTimer &timer);
    ~WaitLimit();
    WaitLimit(const WaitLimit &) = delete;
    WaitLimit &operator=(const WaitLimit &) = delete;

    // True once the interval has passed since the wait began.
    bool reached() const { return m_deadline.hasExpired(); }

private:
    QTimer &m_timer;
    QDeadlineTimer m_deadline;
    NearLimitWakeup m_nearLimit;
};
