#pragma once

class ConsoleOperations;
class IpPaneOperations;
class frmPelmora2;

// Connects the window's twelve operation buttons to the operations that carry them out.
void WireOperations(frmPelmora2 &window, ConsoleOperations &console, IpPaneOperations &ipPane);
