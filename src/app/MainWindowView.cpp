// The window as the operations see it.
#include "MainWindow.h"

#include "LogWindow.h"

#include <QCheckBox>
#include <QLineEdit>

namespace
{

bool validSlot(int slot)
{
    return slot >= 0 && slot < SlotCount;
}

} // namespace

QLineEdit *frmPelmora2::fieldWidget(Field field, int slot) const
{
    if (!validSlot(slot))
        return nullptr;
    for (const PaneWidgets &pane : m_panes)
        if (const auto *array = pane.fieldArray(field))
            return array->rows[slot];
    return nullptr;
}

QString frmPelmora2::fieldText(Field field, int slot) const
{
    const QLineEdit *edit = fieldWidget(field, slot);
    return edit ? edit->text() : QString();
}

void frmPelmora2::setFieldText(Field field, int slot, const QString &text)
{
    if (QLineEdit *edit = fieldWidget(field, slot))
        edit->setText(text);
}

bool frmPelmora2::slotTicked(Pane pane, int slot) const
{
    return validSlot(slot) && paneOf(pane).ticks[slot]->isChecked();
}

void frmPelmora2::appendLog(const QString &text)
{
    m_txtLog->appendLog(text);
}

void frmPelmora2::setPaneEnabled(Pane pane, bool enabled)
{
    SetPaneEnabled(paneOf(pane).lockControls(), m_menu.items(), enabled);
}

void frmPelmora2::setHourglass(bool on)
{
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmPelmora2::setOperationBusy(bool busy)
{
    m_operationBusy = busy;
}

void frmPelmora2::storeSlotMAC(int slot, const QString &macTail)
{
    if (validSlot(slot))
        m_slots.SlotMAC[slot] = macTail;
}

void frmPelmora2::storeSlotIP(int slot, const QString &ip)
{
    if (validSlot(slot))
        m_slots.SlotIP[slot] = ip;
}

void frmPelmora2::storeSlotPort(int slot, const QString &port)
{
    if (validSlot(slot))
        m_slots.SlotPort[slot] = port;
}

void frmPelmora2::showMessageBox(const QString &text, const QString &title, BoxIcon icon)
{
    m_boxes->showMessageBox(text, title, icon);
}
