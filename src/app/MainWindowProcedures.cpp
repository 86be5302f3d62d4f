// The window's own procedures: start-up, closing, the slot table, the panes, the menu and the tick boxes.
#include "MainWindow.h"

#include "AboutBox.h"
#include "HostChecks.h"
#include "SettingsStore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

bool frmPelmora2::Form_Load(HostChecks &hostChecks)
{
    LoadSlotSettings();
    ShowPane_IP(true);
    ShowPane_Port(false);
    ShowPane_GW(false);
    ShowPane_Sub(false);
    ShowPane_ComCheck(false);
    m_operationBusy = false;
    if (!hostChecks.CheckAdminRights())
        return false;
    paneOf(Pane::IP).bottomButtons.front()->setFocus(); // "Set All"
    return true;
}

void frmPelmora2::Form_Unload(bool &cancel)
{
    if (m_operationBusy) {
        cancel = true;
        return;
    }
    if (!SaveSlotSettings()) // the window still closes; the user learns that the changes are lost
        showMessageBox(SaveFailureText(), QStringLiteral("Pelmora2"), BoxIcon::Critical);
}

QString frmPelmora2::SaveFailureText() const
{
    return QStringLiteral("The slot settings could not be saved to ") +
           m_store.locationText(QStringLiteral("QV512")) + QStringLiteral(":\r\n") + m_store.writeError() +
           QStringLiteral(".");
}

void frmPelmora2::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void frmPelmora2::LoadSlotSettings()
{
    m_slots.LoadSlotSettings(m_store);
}

bool frmPelmora2::SaveSlotSettings()
{
    return m_slots.SaveSlotSettings(m_store);
}

const PaneWidgets &frmPelmora2::paneOf(Pane pane) const
{
    return m_panes[int(pane)];
}

void frmPelmora2::ShowPane(Pane pane, bool show)
{
    const PaneWidgets &widgets = paneOf(pane);
    widgets.setVisible(show);
    if (!show)
        return;
    for (int slot = 0; slot < SlotCount; ++slot) {
        widgets.ticks[slot]->setChecked(m_slots.SlotTicked[slot] == 1);
        for (const auto &field : widgets.fields) {
            switch (field.column) {
            case SlotColumn::MAC:
                field.rows[slot]->setText(m_slots.SlotMAC[slot]);
                break;
            case SlotColumn::IP:
                field.rows[slot]->setText(m_slots.SlotIP[slot]);
                break;
            case SlotColumn::Port:
                field.rows[slot]->setText(m_slots.SlotPort[slot]);
                break;
            case SlotColumn::None:
                break;
            }
        }
    }
}

void frmPelmora2::ShowPane_IP(bool show)
{
    ShowPane(Pane::IP, show);
}

void frmPelmora2::ShowPane_Port(bool show)
{
    ShowPane(Pane::Port, show);
}

void frmPelmora2::ShowPane_GW(bool show)
{
    ShowPane(Pane::GW, show);
}

void frmPelmora2::ShowPane_Sub(bool show)
{
    ShowPane(Pane::Sub, show);
}

void frmPelmora2::ShowPane_ComCheck(bool show)
{
    ShowPane(Pane::ComCheck, show);
}

void frmPelmora2::ShowOnlyPane(Pane pane)
{
    ShowPane_IP(pane == Pane::IP);
    ShowPane_Port(pane == Pane::Port);
    ShowPane_GW(pane == Pane::GW);
    ShowPane_Sub(pane == Pane::Sub);
    ShowPane_ComCheck(pane == Pane::ComCheck);
}

void frmPelmora2::mnuIP_Click()
{
    ShowOnlyPane(Pane::IP);
}

void frmPelmora2::mnuPort_Click()
{
    ShowOnlyPane(Pane::Port);
}

void frmPelmora2::mnuGateWay_Click()
{
    ShowOnlyPane(Pane::GW);
}

void frmPelmora2::mnuSubnet_Click()
{
    ShowOnlyPane(Pane::Sub);
}

void frmPelmora2::mnuComCheck_Click()
{
    ShowOnlyPane(Pane::ComCheck);
}

void frmPelmora2::mnuVersion_Click()
{
    frmVersion about(this);
    about.exec();
}

void frmPelmora2::tickClicked(Pane pane, int index)
{
    m_slots.SlotTicked[index] = paneOf(pane).ticks[index]->isChecked() ? 1 : 0;
}

void frmPelmora2::chkSlot_IP_Click(int index)
{
    tickClicked(Pane::IP, index);
}

void frmPelmora2::chkSlot_Port_Click(int index)
{
    tickClicked(Pane::Port, index);
}

void frmPelmora2::chkSlot_GW_Click(int index)
{
    tickClicked(Pane::GW, index);
}

void frmPelmora2::chkSlot_Sub_Click(int index)
{
    tickClicked(Pane::Sub, index);
}

void frmPelmora2::chkSlot_ComCheck_Click(int index)
{
    tickClicked(Pane::ComCheck, index);
}
