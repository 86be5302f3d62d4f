#include "ShowProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace
{

// VmHWM from /proc/self/status; -1 where the host has no such file.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

class FirstPaintWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Report after the paint has been delivered and flushed.
            QTimer::singleShot(0, this, [] {
                std::printf("PELMORA2_SHOWN vmhwm_kb=%ld\n", peakResidentKb());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

bool ExitAfterFirstShowIfAsked(QWidget &window)
{
    if (qEnvironmentVariableIsEmpty("PELMORA2_EXIT_AFTER_SHOW"))
        return false;
    window.installEventFilter(new FirstPaintWatcher(&window));
    return true;
}
