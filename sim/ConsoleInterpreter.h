#pragma once

#include "UnitArgument.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Something the unit did, for the simulator's event lines: "esc", "command", "fault".
struct ConsoleEvent {
    QString kind;
    QString detail;
};

// What the unit does in answer to one received character.
struct ConsoleStep {
    QByteArray reply; // goes out replyDelayMs after the character arrived
    int replyDelayMs = 0;
    QByteArray trailer;           // goes out TrailerDelayMs after the reply
    bool startFlood = false;      // from now on the unit sends garbage without end
    bool closeConnection = false; // the unit closes the connection once the reply is out
    QList<ConsoleEvent> events;
};

// The remote console of one unit for one connection: the attach answer, the echo and the command
// lines. It knows nothing of sockets or time; the caller carries out the steps it returns.
class ConsoleInterpreter
{
public:
    static constexpr int TrailerDelayMs = 20;
    static constexpr int Answer126Length = 600;
    static constexpr int Short126Length = 300;

    explicit ConsoleInterpreter(const UnitBehaviour &behaviour);

    ConsoleStep take(char c);

    // The port an accepted UE2 asked for; the unit moves there once the connection closes.
    std::optional<quint16> portAfterClose() const { return m_portAfterClose; }

    // Command-line text made safe for a one-line event report.
    static QString printable(const QByteArray &bytes);

private:
    enum class Verdict { Accepted, Malformed, Unknown };

    void answerEsc(ConsoleStep &step);
    void answerStatus(ConsoleStep &step) const;
    QByteArray echoOf(char c, ConsoleStep &step) const;
    void finishLine(ConsoleStep &step);
    Verdict judge(const QByteArray &line);

    UnitBehaviour m_behaviour;
    QByteArray m_line;
    int m_lineLength = 0;       // characters of the current line, also those beyond MaxLineLength
    QByteArray m_pendingAnswer; // replaces the echo of the next character received
    std::optional<quint16> m_portAfterClose;
    bool m_done = false; // flooding or closing: further input is only recorded
};
