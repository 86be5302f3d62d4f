#include "OperationWiring.h"

#include "ConsoleOperations.h"
#include "IpPaneOperations.h"
#include "MainWindow.h"

void WireOperations(frmPelmora2 &window, ConsoleOperations &console, IpPaneOperations &ipPane)
{
    QObject::connect(&window, &frmPelmora2::cmdSet_IP_Click, &window,
                     [&](int i) { ipPane.cmdSet_IP_Click(i); });
    QObject::connect(&window, &frmPelmora2::cmdAllSet_IP_Click, &window,
                     [&] { ipPane.cmdAllSet_IP_Click(); });
    QObject::connect(&window, &frmPelmora2::cmdPing_Click, &window, [&](int i) { ipPane.cmdPing_Click(i); });
    QObject::connect(&window, &frmPelmora2::cmdAllPing_Click, &window, [&] { ipPane.cmdAllPing_Click(); });

    const auto wireConsole = [&](auto rowSignal, auto allSignal, ConsoleOp op) {
        QObject::connect(&window, rowSignal, &window,
                         [&console, op](int i) { console.runSlotButton(op, i); });
        QObject::connect(&window, allSignal, &window, [&console, op] { console.runAllTicked(op); });
    };
    wireConsole(&frmPelmora2::cmdSet_Port_Click, &frmPelmora2::cmdAllSet_Port_Click, ConsoleOp::SetPort);
    wireConsole(&frmPelmora2::cmdSet_GW_Click, &frmPelmora2::cmdAllSet_GW_Click, ConsoleOp::SetGW);
    wireConsole(&frmPelmora2::cmdSet_Sub_Click, &frmPelmora2::cmdAllSet_Subnet_Click, ConsoleOp::SetSubnet);
    wireConsole(&frmPelmora2::cmdComCheck_Click, &frmPelmora2::cmdAllComCheck_Click, ConsoleOp::ComCheck);
}
