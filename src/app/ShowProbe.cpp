#include "ShowProbe.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>

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

// Runs an action once, after the first paint of the watched widget has been delivered and flushed.
class FirstPaintWatcher : public QObject
{
public:
    FirstPaintWatcher(QObject *parent, std::function<void()> action)
        : QObject(parent), m_action(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, m_action);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
    bool m_seen = false;
};

} // namespace

bool ExitAfterFirstShowIfAsked(QWidget &window)
{
    if (qEnvironmentVariableIsEmpty("PELMORA2_EXIT_AFTER_SHOW"))
        return false;
    window.installEventFilter(new FirstPaintWatcher(&window, [] {
        std::printf("PELMORA2_SHOWN vmhwm_kb=%ld\n", peakResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }));
    return true;
}

void ClickAfterFirstShowIfAsked(QWidget &window)
{
    const QString name = qEnvironmentVariable("PELMORA2_CLICK_AFTER_SHOW");
    if (name.isEmpty())
        return;
    window.installEventFilter(new FirstPaintWatcher(&window, [&window, name] {
        if (auto *button = window.findChild<QAbstractButton *>(name))
            button->click();
    }));
}
