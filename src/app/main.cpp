#include "ConsoleOperations.h"
#include "HostChecks.h"
#include "IpPaneOperations.h"
#include "MainWindow.h"
#include "OperationWiring.h"
#include "ProgramEnd.h"
#include "RemoteConsole.h"
#include "SettingsStore.h"
#include "ShowProbe.h"
#include "TerminationSignals.h"
#include "platform/CommandRunner.h"
#include "platform/HostQuestions.h"
#include "platform/RaisedPrivilege.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (const std::string refusal = RaisedPrivilegeRefusal("pelmora2"); !refusal.empty()) {
        std::fputs(refusal.c_str(), stderr);
        return 1;
    }
    QApplication app(argc, argv);

    SettingsStore store; // the user's own
    frmPelmora2 window(store);
    const auto host = CreateHostQuestions();
    HostChecks hostChecks(*host, window);
    if (!window.Form_Load(hostChecks))
        return 1; // the caution was shown; the window never appears and nothing is saved

    RemoteConsole console(store);
    ConsoleOperations consoleOperations(window, console);
    CommandRunner runner;
    IpPaneOperations ipPaneOperations(window, hostChecks, runner);
    WireOperations(window, consoleOperations, ipPaneOperations);
    TerminationSignals termination;
    EndOnTerminationRequest(termination, window, console, ipPaneOperations);

    ExitAfterFirstShowIfAsked(window);
    ClickAfterFirstShowIfAsked(window);
    window.show();
    return QApplication::exec();
}
