#include "EventPasses.h"

#include <QCoreApplication>

void EventPasses::next()
{
    if (m_first) {
        m_first = false;
        servicePendingEvents();
    } else {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void servicePendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

NearLimitWakeup::NearLimitWakeup(int limitMs)
{
    if (limitMs <= 2 * kFinalSleepMs)
        return;
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    m_timer.start(limitMs - kFinalSleepMs);
}

WaitLimit::WaitLimit(QTimer &timer)
    : m_timer(timer), m_deadline(timer.interval() > 0 ? QDeadlineTimer(timer.interval(), Qt::PreciseTimer)
                                                      : QDeadlineTimer(QDeadlineTimer::Forever)),
      m_nearLimit(timer.interval())
{
    if (timer.interval() > 0)
        timer.start();
}

WaitLimit::~WaitLimit()
{
    m_timer.stop();
}
