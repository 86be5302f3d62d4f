#pragma once

#include "MainMenu.h"
#include "ModalMessageBoxes.h"
#include "OperationView.h"
#include "PaneWidgets.h"
#include "SlotTable.h"

#include <QMainWindow>
#include <array>

class HostChecks;
class LogWindow;
class SettingsStore;

// frmPelmora2: the eight slot rows, the five panes (one shown at a time), the menu and the log window.
// It owns the slot table and OperationBusy, and is the view the operations work through.
class frmPelmora2 : public QMainWindow, public OperationView
{
    Q_OBJECT

public:
    explicit frmPelmora2(SettingsStore &store, QWidget *parent = nullptr);
    ~frmPelmora2() override;

    // Start-up: load the slot table, show the IP pane, clear OperationBusy, run the host check.
    // Returns false when the check ended start-up: the window must not be shown, nothing is saved.
    bool Form_Load(HostChecks &hostChecks);
    // Close handling: cancelled while an operation runs, else the slot table is saved; a failed save is
    // shown in a box, and the window closes all the same.
    void Form_Unload(bool &cancel);

    void LoadSlotSettings();
    bool SaveSlotSettings();
    // What the box says when SaveSlotSettings failed: the file and the reason.
    QString SaveFailureText() const;

    // Show or hide one pane; a shown pane is filled from the slot table.
    void ShowPane_IP(bool show);
    void ShowPane_Port(bool show);
    void ShowPane_GW(bool show);
    void ShowPane_Sub(bool show);
    void ShowPane_ComCheck(bool show);

    void mnuIP_Click();
    void mnuPort_Click();
    void mnuGateWay_Click();
    void mnuSubnet_Click();
    void mnuComCheck_Click();
    void mnuVersion_Click();

    // Tick box handlers: the tick state is one value per slot row, shared by every pane.
    void chkSlot_IP_Click(int index);
    void chkSlot_Port_Click(int index);
    void chkSlot_GW_Click(int index);
    void chkSlot_Sub_Click(int index);
    void chkSlot_ComCheck_Click(int index);

    bool OperationBusy() const { return m_operationBusy; }
    const SlotTable &Slots() const { return m_slots; }
    // The log window's text as the operations wrote it, with CR LF line breaks.
    QString logText() const;
    // Where message boxes go; nullptr restores the real modal boxes.
    void setMessageBoxes(MessageBoxes *boxes);

    // OperationView
    QString fieldText(Field field, int slot) const override;
    void setFieldText(Field field, int slot, const QString &text) override;
    bool slotTicked(Pane pane, int slot) const override;
    void appendLog(const QString &text) override;
    void setPaneEnabled(Pane pane, bool enabled) override;
    void setHourglass(bool on) override;
    void setOperationBusy(bool busy) override;
    void storeSlotMAC(int slot, const QString &macTail) override;
    void storeSlotIP(int slot, const QString &ip) override;
    void storeSlotPort(int slot, const QString &port) override;
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override;

signals:
    // The twelve operation buttons; OperationWiring connects them to the operations.
    void cmdSet_IP_Click(int index);
    void cmdAllSet_IP_Click();
    void cmdPing_Click(int index);
    void cmdAllPing_Click();
    void cmdSet_Port_Click(int index);
    void cmdAllSet_Port_Click();
    void cmdSet_GW_Click(int index);
    void cmdAllSet_GW_Click();
    void cmdSet_Sub_Click(int index);
    void cmdAllSet_Subnet_Click();
    void cmdComCheck_Click(int index);
    void cmdAllComCheck_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildCentralArea();
    void connectPane(const PaneLayout &layout, const PaneWidgets &pane);
    void connectMenu();
    void setTabOrder();
    void ShowPane(Pane pane, bool show);
    void ShowOnlyPane(Pane pane);
    void tickClicked(Pane pane, int index);
    const PaneWidgets &paneOf(Pane pane) const;
    QLineEdit *fieldWidget(Field field, int slot) const;

    SettingsStore &m_store;
    SlotTable m_slots;
    bool m_operationBusy = false;
    std::array<PaneWidgets, 5> m_panes;
    MainMenu m_menu;
    LogWindow *m_txtLog = nullptr;
    ModalMessageBoxes m_realBoxes;
    MessageBoxes *m_boxes;
};
