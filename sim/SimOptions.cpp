#include "SimOptions.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace
{

const char *const Description = R"(Simulates QV512 units: one TCP console port per unit.

UNIT := PORT[:OPTION[,OPTION...]]
  PORT in hexadecimal like the program's port fields (2710 = 10000); 0 = any free port.
OPTION:
  prompt=C      prompt character after ESC CR LF (one character or 0xNN; default >)
  refuse        the port is held but nothing listens: connections are refused
  silent        accepts connections, never answers ESC
  late-esc=MS   answers ESC only after MS ms
  wrong-esc     answers ESC with a stray character before ESC CR LF + prompt
  no-echo=C     never echoes character C (one character or 0xNN)
  error=TEXT    every command line is answered as malformed: "%" TEXT CR (TEXT without commas)
  unsupported   every command line is answered as unknown: "<"
  drip=MS       every character the unit sends goes out alone, MS ms apart
  flood         once a command line starts, garbage at full speed without end
  close-mid     closes the connection after a command line's second character
  short126      answers 126 with its echo and only 300 characters (else 600)
  status-with-echo
                sends the whole 126 status text in the same write as the echo
  status-split=N
                sends the first N characters of the 126 status text with the echo, the rest
                20 ms later

Console: ESC is answered with ESC CR LF + prompt; every other character is echoed (CR as
CR LF); 126 is echoed and 20 ms later followed by a status text. Lines end at CR: UE1,
"UE2 XXXX" (moves to port XXXX once the connection closes), UE3aaa/bbb/ccc/ddd and
UE4aaa/bbb/ccc/ddd are accepted. After a malformed argument the next character received is
answered with "%" + error text + CR, after an unknown line with "<", instead of its echo.

Stdout: "listening <index> <hexport>" per unit (also for refuse), then "READY"; then one line
per event: connected, esc, command, fault, closed; "moved <index> <hexport>" after a UE2.
--quiet leaves out the event lines but keeps listening, READY, moved and address.

Fresh-unit mode (root, inside a network namespace):
  qv512-sim --fresh-unit IFACE --mac 0A-00-3C-XX-XX-XX [--prefix-len N] [--record DIR] UNIT
  Prints "watching <iface>", waits for the first ICMP echo request sent to the MAC address,
  takes its destination address onto IFACE, prints "address <ip>", then serves UNIT there.)";

} // namespace

QByteArray parseMacAddress(const QString &text)
{
    const QStringList groups = text.split(QRegularExpression(QStringLiteral("[-:]")));
    if (groups.size() != 6)
        return {};
    QByteArray mac;
    for (const QString &group : groups) {
        bool ok = false;
        const uint value = group.toUInt(&ok, 16);
        if (group.size() != 2 || !ok)
            return {};
        mac.append(static_cast<char>(value));
    }
    return mac;
}

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                    QStringLiteral("ADDR"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Append every byte unit N receives to DIR/unitN.bin."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Leave out the event lines."));
    const QCommandLineOption fresh(QStringLiteral("fresh-unit"),
                                   QStringLiteral("Play a factory-fresh unit on interface IFACE."),
                                   QStringLiteral("IFACE"));
    const QCommandLineOption mac(QStringLiteral("mac"), QStringLiteral("MAC address of the fresh unit."),
                                 QStringLiteral("MAC"));
    const QCommandLineOption prefix(QStringLiteral("prefix-len"),
                                    QStringLiteral("Prefix length of the taken address (default 24)."),
                                    QStringLiteral("N"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({help, version, listen, record, quiet, fresh, mac, prefix});
    parser.addPositionalArgument(QStringLiteral("UNIT"), QStringLiteral("PORT[:OPTION[,OPTION...]]"),
                                 QStringLiteral("UNIT [UNIT ...]"));

    ParsedCommandLine result;
    const auto fail = [&result](const QString &text) {
        result.outcome = ParsedCommandLine::Outcome::Error;
        result.text = text;
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        result.outcome = ParsedCommandLine::Outcome::Help;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.outcome = ParsedCommandLine::Outcome::Help;
        result.text = QStringLiteral("qv512-sim %1\n").arg(QLatin1String(Pelmora2VersionText));
        return result;
    }

    SimOptions &options = result.options;
    options.quiet = parser.isSet(quiet);
    options.recordDir = parser.value(record);
    if (parser.isSet(listen) && !options.listenAddress.setAddress(parser.value(listen)))
        return fail(QStringLiteral("--listen: not an address: %1").arg(parser.value(listen)));

    const QStringList unitTexts = parser.positionalArguments();
    if (unitTexts.isEmpty())
        return fail(QStringLiteral("at least one UNIT is needed"));
    for (const QString &text : unitTexts) {
        QString error;
        const auto unit = parseUnitArgument(text, &error);
        if (!unit)
            return fail(error);
        options.units.append(*unit);
    }

    if (parser.isSet(fresh)) {
        options.freshInterface = parser.value(fresh);
        options.freshMac = parseMacAddress(parser.value(mac));
        if (options.freshMac.isEmpty())
            return fail(QStringLiteral("--fresh-unit needs --mac XX-XX-XX-XX-XX-XX"));
        if (parser.isSet(listen))
            return fail(QStringLiteral(
                "--listen does not go with --fresh-unit: the unit listens on its taken address"));
        if (options.units.size() != 1)
            return fail(QStringLiteral("--fresh-unit plays exactly one UNIT"));
        if (parser.isSet(prefix)) {
            bool ok = false;
            options.prefixLength = parser.value(prefix).toInt(&ok);
            if (!ok || options.prefixLength < 1 || options.prefixLength > 32)
                return fail(QStringLiteral("--prefix-len must be 1 to 32"));
        }
    } else if (parser.isSet(mac) || parser.isSet(prefix)) {
        return fail(QStringLiteral("--mac and --prefix-len go only with --fresh-unit"));
    }

    result.outcome = ParsedCommandLine::Outcome::Run;
    return result;
}
