#pragma once

class TerminationSignals;
class frmPelmora2;
class RemoteConsole;
class IpPaneOperations;

// A request from outside to end the program (SIGTERM, SIGHUP, SIGINT) may arrive while an operation
// waits inside a nested event loop, about to show a box. From then on nothing is shown or started: the
// running host command ends with everything it started, the unit connection closes, the capture file
// goes, the slot table is saved as at a window close, and once the save is on disk the program exits
// at once with status 128 + the signal's number.
void EndOnTerminationRequest(TerminationSignals &requests, frmPelmora2 &window, RemoteConsole &console,
                             IpPaneOperations &ipPane);
