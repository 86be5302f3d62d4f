#pragma once

#include <QString>
#include <atomic>

// A unit told to change its port moves there once the connection has closed, which takes it a moment.
// Waits until host accepts a connection at portText (hexadecimal), trying every 100 ms, for at most
// limitMs or until stop is set; the probing connection sends nothing and is closed at once. True when
// the port accepted one.
bool WaitUntilListening(const QString &host, const QString &portText, int limitMs,
                        const std::atomic<bool> &stop);

// What one connection attempt to a unit's port found.
enum class PortProbe {
    Refused,   // the host said no one listens there
    Unreached, // no answer to the connection within the limit, or stopped
    Accepted,  // connected; no console answer asked for, or none came
    Answered,  // connected, and one ESC got the console's ESC CR LF and a prompt character
};

// Connects to host at portText (hexadecimal) within limitMs. With askConsole, sends one ESC and waits
// up to limitMs for the console's answer. The connection is closed at once afterwards; stop ends the
// waits early.
PortProbe ProbePort(const QString &host, const QString &portText, int limitMs, bool askConsole,
                    const std::atomic<bool> &stop);
