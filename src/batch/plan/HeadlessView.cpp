#include "HeadlessView.h"

#include "HostAddressText.h"

HeadlessView::HeadlessView(const PlanUnit &unit)
{
    for (Field field :
         {Field::IPAddr_IP, Field::IPAddr_Port, Field::IPAddr_GW, Field::IPAddr_Sub, Field::IPAddr_ComCheck})
        m_fields[field] = unit.ip;
    for (Field field : {Field::Port_Port, Field::Port_GW, Field::Port_Sub})
        m_fields[field] = unit.port;
    m_fields[Field::Port_ComCheck] = unit.checkPort();
    m_fields[Field::NewPort] = unit.newPort;
    m_fields[Field::GateWay] = unit.gateway;
    m_fields[Field::SubnetMask] = unit.mask;
    m_fields[Field::MAC] = QLatin1String(SlotMACPrefix); // read-only in the IP pane
    m_fields[Field::MCAddr] = unit.mac;
}

QString HeadlessView::fieldText(Field field, int slot) const
{
    return slot == 0 ? m_fields.value(field) : QString();
}

void HeadlessView::setFieldText(Field field, int slot, const QString &text)
{
    if (slot == 0)
        m_fields[field] = text;
}

bool HeadlessView::slotTicked(Pane, int slot) const
{
    return slot == 0;
}
