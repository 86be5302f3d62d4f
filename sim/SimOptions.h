#pragma once

#include "UnitArgument.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// The simulator's command line.
struct SimOptions {
    QHostAddress listenAddress{QHostAddress::LocalHost};
    QString recordDir; // empty: nothing recorded
    bool quiet = false;
    QString freshInterface; // set: play one factory-fresh unit on this interface
    QByteArray freshMac;
    int prefixLength = 24;
    QList<UnitArgument> units;
};

struct ParsedCommandLine {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Error;
    SimOptions options;
    QString text; // the help text, or what is wrong
};

ParsedCommandLine parseCommandLine(const QStringList &arguments);

// "0A-00-3C-12-34-56" (or with ":") as six bytes; empty when malformed.
QByteArray parseMacAddress(const QString &text);
