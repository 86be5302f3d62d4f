#include "PaneLayout.h"

#include "HostAddressText.h"
#include "MainWindow.h"

namespace
{

constexpr int AddressWidth = 1770;
constexpr int PortWidth = 810;
constexpr int RowButtonWidth = 615;

RowControl label(const char *caption, int x, int width)
{
    return {RowControlKind::Label, nullptr, caption, x, width};
}

RowControl field(const char *name, Field f, int x, int width, int maxLength, KeyRule rule,
                 SlotColumn column = SlotColumn::None)
{
    return {RowControlKind::Field, name, "", x, width, f, maxLength, rule, column};
}

RowControl addressField(const char *name, Field f, int x, SlotColumn column = SlotColumn::None)
{
    return field(name, f, x, AddressWidth, 15, FilterIPAddrKey, column);
}

RowControl portField(const char *name, Field f, int x, SlotColumn column = SlotColumn::None)
{
    return field(name, f, x, PortWidth, 4, HexPortKeyRule, column);
}

RowControl button(const char *name, const char *caption, int x, RowClick click, int width = RowButtonWidth)
{
    RowControl control{RowControlKind::Button, name, caption, x, width};
    control.click = std::move(click);
    return control;
}

std::vector<PaneLayout> makeLayouts()
{
    return {
        {Pane::IP,
         "lblTitle_IP",
         "<Set IP Address>",
         "frmIP",
         "chkSlot_IP",
         &frmPelmora2::chkSlot_IP_Click,
         {label("MAC Addr", 600, 900),
          {RowControlKind::ReadOnlyField, "txtMAC", SlotMACPrefix, 1560, 855, Field::MAC},
          {RowControlKind::Dash, nullptr, "-", 2540, 200},
          field("txtMCAddr", Field::MCAddr, 2760, 1050, 8, MacTailKeyRule, SlotColumn::MAC),
          label("IP Addr", 3960, 690),
          addressField("txtIPAddr_IP", Field::IPAddr_IP, 4680, SlotColumn::IP),
          button("cmdSet_IP", "Set", 6600, &frmPelmora2::cmdSet_IP_Click),
          button("cmdPing", "Ping", 7200, &frmPelmora2::cmdPing_Click)},
         {{"cmdAllSet_IP", "Set All", 4440, &frmPelmora2::cmdAllSet_IP_Click},
          {"cmdAllPing", "Ping All", 6720, &frmPelmora2::cmdAllPing_Click}}},
        {Pane::Port,
         "lblTitle_Port",
         "<Set Port No.>",
         "frmPort",
         "chkSlot_Port",
         &frmPelmora2::chkSlot_Port_Click,
         {label("IP Addr", 600, 690),
          addressField("txtIPAddr_Port", Field::IPAddr_Port, 1320, SlotColumn::IP),
          label("Port No", 3240, 690), portField("txtPort_Port", Field::Port_Port, 3960, SlotColumn::Port),
          label("New Port No", 4920, 1170), portField("txtNewPort", Field::NewPort, 6120),
          button("cmdSet_Port", "Set", 7200, &frmPelmora2::cmdSet_Port_Click)},
         {{"cmdAllSet_Port", "Set All", 6720, &frmPelmora2::cmdAllSet_Port_Click}}},
        {Pane::GW,
         "lblTitle_GW",
         "<Set GateWay Address>",
         "frmGateWay",
         "chkSlot_GW",
         &frmPelmora2::chkSlot_GW_Click,
         {label("IP", 600, 225), addressField("txtIPAddr_GW", Field::IPAddr_GW, 840, SlotColumn::IP),
          label("Port", 2760, 450), portField("txtPort_GW", Field::Port_GW, 3240, SlotColumn::Port),
          label("GateWay", 4200, 930), addressField("txtGateWay", Field::GateWay, 5160),
          button("cmdSet_GW", "Set", 7200, &frmPelmora2::cmdSet_GW_Click)},
         {{"cmdAllSet_GW", "Set All", 6720, &frmPelmora2::cmdAllSet_GW_Click}}},
        {Pane::Sub,
         "lblTitle_Subnet",
         "<Set Subnet Mask>",
         "frmSubnetMask",
         "chkSlot_Sub",
         &frmPelmora2::chkSlot_Sub_Click,
         {label("IP", 600, 225), addressField("txtIPAddr_Sub", Field::IPAddr_Sub, 840, SlotColumn::IP),
          label("Port", 2760, 420), portField("txtPort_Sub", Field::Port_Sub, 3200, SlotColumn::Port),
          label("Subnet Mask", 4080, 1200), addressField("txtSubnetMask", Field::SubnetMask, 5300),
          button("cmdSet_Sub", "Set", 7200, &frmPelmora2::cmdSet_Sub_Click)},
         {{"cmdAllSet_Subnet", "Set All", 6720, &frmPelmora2::cmdAllSet_Subnet_Click}}},
        {Pane::ComCheck,
         "lblTitle_ComCheck",
         "<Communication Check Test>",
         "frmComCheck",
         "chkSlot_ComCheck",
         &frmPelmora2::chkSlot_ComCheck_Click,
         {label("IP Address", 600, 1170),
          addressField("txtIPAddr_ComCheck", Field::IPAddr_ComCheck, 1800, SlotColumn::IP),
          label("Port No.", 3960, 810),
          portField("txtPort_ComCheck", Field::Port_ComCheck, 4800, SlotColumn::Port),
          button("cmdComCheck", "ComCheck", 6360, &frmPelmora2::cmdComCheck_Click, 1215)},
         {{"cmdAllComCheck", "ComCheck All", 6720, &frmPelmora2::cmdAllComCheck_Click}}},
    };
}

} // namespace

const std::vector<PaneLayout> &PaneLayouts()
{
    static const std::vector<PaneLayout> layouts = makeLayouts();
    return layouts;
}
