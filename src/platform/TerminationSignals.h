#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns the requests to end the program that come from outside (POSIX: SIGTERM, SIGHUP, SIGINT) into
// the Qt signal terminationRequested, delivered on the thread that made the object, so that the program
// can end its host command, close its connection and keep its settings before it exits.
// A signal that was ignored when the object was made (SIGHUP under nohup) stays ignored. One object at a
// time; it restores the previous handlers when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    struct Hooks;
    std::unique_ptr<Hooks> m_hooks;
};
