// pelmora2-batch: commissions the units of a plan file concurrently, without a window.

#include "BatchOptions.h"
#include "BatchProgram.h"
#include "PrintText.h"
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
        PrintText(stdout, parsed.text);
        return BatchExitPassed;
    case ParsedBatchCommandLine::Outcome::Error:
        PrintText(stderr,
                  QStringLiteral("pelmora2-batch: %1\nTry pelmora2-batch --help.\n").arg(parsed.text));
        return BatchExitUsage;
    case ParsedBatchCommandLine::Outcome::Run:
        break;
    }
    return RunBatchProgram(parsed.options);
}
