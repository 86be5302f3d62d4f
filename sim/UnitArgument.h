#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// How one simulated unit behaves: its prompt character and the faults it plays.
struct UnitBehaviour {
    char prompt = '>';
    bool refuse = false;                 // the port is held but nothing listens: connections are refused
    bool silent = false;                 // ESC is never answered
    int lateEscMs = 0;                   // ESC is answered only after this long
    bool wrongEsc = false;               // ESC is answered with something other than ESC CR LF + prompt
    std::optional<char> noEcho;          // this character is never echoed
    std::optional<QByteArray> errorText; // every command line is answered as malformed with it
    bool unsupported = false;            // every command line is answered as unknown
    int dripMs = 0;                      // every character sent goes out alone, this far apart
    bool flood = false;                  // garbage without end once a command line starts
    bool closeMid = false;               // the connection is closed after a command line's second character
    bool short126 = false;               // 126 is followed by too few characters
    int statusWithEcho = 0;              // characters of the 126 status block sent in the echo's write
};

// One UNIT argument: PORT[:OPTION[,OPTION...]].
struct UnitArgument {
    quint16 port = 0; // 0: any free port
    UnitBehaviour behaviour;
};

// Parses one UNIT argument; on failure returns nothing and says why in error.
std::optional<UnitArgument> parseUnitArgument(const QString &text, QString *error);

// A character given as itself ("#") or as 0xNN ("0x23").
std::optional<char> parseCharOption(const QString &text);
