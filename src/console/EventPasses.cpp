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

WaitLimit::WaitLimit(QTimer &timer)
    : m_timer(timer), m_deadline(timer.interval() > 0 ? QDeadlineTimer(timer.interval(), Qt::PreciseTimer)
                                                      : QDeadlineTimer(QDeadlineTimer::Forever))
{
    if (timer.interval() > 0)
        timer.start();
}

WaitLimit::~WaitLimit()
{
    m_timer.stop();
}

void servicePendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
