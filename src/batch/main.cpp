// pelmora2-batch: commissions the units of a plan file concurrently, without a window.

#include "BatchOptions.h"
#include "BatchProgram.h"
#include "platform/RaisedPrivilege.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (const std::string refusal = RaisedPrivilegeRefusal("pelmora2-batch"); !refusal.empty()) {
        std::fputs(refusal.c_str(), stderr);
        return BatchExitUsage;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelmora2-batch"));

    const ParsedBatchCommandLine parsed = ParseBatchCommandLine(QCoreApplication::arguments());
    switch (parsed.outcome) {
    case ParsedBatchCommandLine::Outcome::Help:
        std::fputs(parsed.text.toUtf8().constData(), stdout);
        return BatchExitPassed;
    case ParsedBatchCommandLine::Outcome::Error:
        std::fprintf(stderr, "pelmora2-batch: %s\nTry pelmora2-batch --help.\n",
                     parsed.text.toUtf8().constData());
        return BatchExitUsage;
    case ParsedBatchCommandLine::Outcome::Run:
        break;
    }
    return RunBatchProgram(parsed.options);
}
