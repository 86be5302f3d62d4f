// qv512-sim: simulated QV512 units for demos, tests and benchmarks.

#include "ByteRecorder.h"
#include "EventLog.h"
#include "FreshUnitWatch.h"
#include "SimOptions.h"
#include "SimUnit.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

using UnitList = std::vector<std::unique_ptr<SimUnit>>;

void printError(const QString &text)
{
    std::fprintf(stderr, "qv512-sim: %s\n", qPrintable(text));
}

// Starts every unit of the command line on address and announces each port, then READY.
bool startUnits(const SimOptions &options, const QHostAddress &address, EventLog &log, UnitList &units)
{
    if (!options.recordDir.isEmpty() && !QDir().mkpath(options.recordDir)) {
        printError(QStringLiteral("--record: cannot make %1").arg(options.recordDir));
        return false;
    }
    for (int index = 0; index < options.units.size(); ++index) {
        QString error;
        std::unique_ptr<ByteRecorder> recorder;
        if (!options.recordDir.isEmpty()) {
            recorder = std::make_unique<ByteRecorder>(
                QDir(options.recordDir).filePath(QStringLiteral("unit%1.bin").arg(index)));
            if (!recorder->open(&error)) {
                printError(error);
                return false;
            }
        }
        auto unit =
            std::make_unique<SimUnit>(index, options.units.at(index), address, log, std::move(recorder));
        if (!unit->start(&error)) {
            printError(QStringLiteral("unit %1 on port %2: %3")
                           .arg(index)
                           .arg(hexPort(options.units.at(index).port), error));
            return false;
        }
        log.state(QStringLiteral("listening %1 %2").arg(index).arg(hexPort(unit->port())));
        units.push_back(std::move(unit));
    }
    log.state(QStringLiteral("READY"));
    return true;
}

int runFreshUnit(const SimOptions &options, EventLog &log)
{
    UnitList units;
    FreshUnitWatch watch(options.freshInterface, options.freshMac, options.prefixLength);
    QObject::connect(&watch, &FreshUnitWatch::addressTaken, [&](const QHostAddress &address) {
        log.state(QStringLiteral("address %1").arg(address.toString()));
        if (!startUnits(options, address, log, units))
            QCoreApplication::exit(1);
    });
    QObject::connect(&watch, &FreshUnitWatch::failed, [](const QString &reason) {
        printError(reason);
        QCoreApplication::exit(1);
    });
    QString error;
    if (!watch.start(&error)) {
        printError(QStringLiteral("%1: %2").arg(options.freshInterface, error));
        return 1;
    }
    log.state(QStringLiteral("watching %1").arg(options.freshInterface));
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qv512-sim"));

    const ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments());
    switch (parsed.outcome) {
    case ParsedCommandLine::Outcome::Help:
        std::fputs(qPrintable(parsed.text), stdout);
        return 0;
    case ParsedCommandLine::Outcome::Error:
        printError(parsed.text);
        std::fputs("Try qv512-sim --help.\n", stderr);
        return 2;
    case ParsedCommandLine::Outcome::Run:
        break;
    }

    const SimOptions &options = parsed.options;
    EventLog log(options.quiet);
    if (!options.freshInterface.isEmpty())
        return runFreshUnit(options, log);

    UnitList units;
    if (!startUnits(options, options.listenAddress, log, units))
        return 1;
    return QCoreApplication::exec();
}
