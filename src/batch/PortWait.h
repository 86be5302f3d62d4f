#pragma once

#include <QString>
#include <atomic>

// A unit told to change its port moves there once the connection has closed, which takes it a moment.
// Waits until host accepts a connection at portText (hexadecimal), trying every 100 ms, for at most
// limitMs or until stop is set; the probing connection sends nothing and is closed at once. True when
// the port accepted one.
bool WaitUntilListening(const QString &host, const QString &portText, int limitMs,
                        const std::atomic<bool> &stop);
