#include "ProgramEnd.h"

#include "IpPaneOperations.h"
#include "MainWindow.h"
#include "RemoteConsole.h"
#include "TerminationSignals.h"

#include <cstdio>
#include <cstdlib>

void EndOnTerminationRequest(TerminationSignals &requests, frmPelmora2 &window, RemoteConsole &console,
                             IpPaneOperations &ipPane)
{
    QObject::connect(&requests, &TerminationSignals::terminationRequested, &window, [&](int signalNumber) {
        ipPane.AbandonHostWork();
        console.SockClose();
        // The save writes and syncs before it returns; a failure can only be told on standard error now.
        if (!window.SaveSlotSettings())
            std::fprintf(stderr, "%s\n", qPrintable(window.SaveFailureText()));
        std::fflush(nullptr);
        // Not back into the loops below, where a box or the next command is waiting to start.
        std::_Exit(128 + signalNumber);
    });
}
