#include "ShowProbe.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
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
    const QStringList steps =
        qEnvironmentVariable("PELMORA2_CLICK_AFTER_SHOW").split(u';', Qt::SkipEmptyParts);
    if (steps.isEmpty())
        return;
    window.installEventFilter(new FirstPaintWatcher(&window, [&window, steps] {
        // Each step waits for the one before, modal boxes included, as the user's clicks would.
        for (const QString &step : steps) {
            const QString name = step.section(u'=', 0, 0);
            if (step.contains(u'=')) {
                if (auto *field = window.findChild<QLineEdit *>(name))
                    field->setText(step.section(u'=', 1));
            } else if (auto *button = window.findChild<QAbstractButton *>(name)) {
                button->click();
            } else if (auto *action = window.findChild<QAction *>(name)) {
                action->trigger();
            }
        }
    }));
}
