#include "HostChecks.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "ShowProbe.h"
#include "platform/HostQuestions.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    SettingsStore store; // the user's own
    frmPelmora2 window(store);
    const auto host = CreateHostQuestions();
    HostChecks hostChecks(*host, window);
    if (!window.Form_Load(hostChecks))
        return 1; // the caution was shown; the window never appears and nothing is saved

    // Operations: the integrator creates the remote console, the console operations and the IP
    // pane's operations here and calls WireOperations (OperationWiring.h).

    ExitAfterFirstShowIfAsked(window);
    window.show();
    return QApplication::exec();
}
