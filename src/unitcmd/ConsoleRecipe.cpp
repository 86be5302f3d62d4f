#include "ConsoleRecipe.h"

#include "AddressValidation.h"
#include "UnitCommandLines.h"

namespace
{

using Check = ConsoleRecipe::FieldCheck;

const QString IPAddressError = QStringLiteral("IP Address Error!");
const QString PortNoError = QStringLiteral("Port No Error!");
const QString ConnectionError = QStringLiteral("Connection Error!");

Check addressCheck(Field field, const QString &errorText)
{
    return {Check::Kind::Address, field, errorText};
}

Check notEmptyCheck(Field field)
{
    return {Check::Kind::NotEmpty, field, PortNoError};
}

std::function<QString(int)> fixedText(const QString &text)
{
    return [text](int) { return text; };
}

// The address commands carry the 12-digit form of the field, as checked.
std::function<QByteArray(const OperationView &, int)> addressCommand(const QByteArray &word, Field field)
{
    return [word, field](const OperationView &view, int slot) {
        return AddressCommandLine(word, ConvIPAddr(view.fieldText(field, slot)));
    };
}

ConsoleRecipe comCheckRecipe()
{
    const QString title = QStringLiteral("Communication Check");
    return {
        .pane = Pane::ComCheck,
        .ipField = Field::IPAddr_ComCheck,
        .portField = Field::Port_ComCheck,
        .headerText = QStringLiteral(" : Communication Check "),
        .furtherField = std::nullopt,
        .checks = {addressCheck(Field::IPAddr_ComCheck, IPAddressError), notEmptyCheck(Field::Port_ComCheck)},
        .paddedFields = {Field::Port_ComCheck},
        .commandLine = [](const OperationView &, int) { return ComCheckCommandLine(); },
        .pauseMs = 1000,
        .pauseOrder = ConsoleRecipe::PauseOrder::PauseThenRemember,
        // The check names no step: every failure without a console text reads the same.
        .connectionErrorText = {},
        .commandErrorText = {},
        .genericErrorText = fixedText(QStringLiteral("Communication Check Error!")),
        .errorTitle = title,
        .completionText = QStringLiteral("Communication Check is finished."),
        .completionTitle = title,
    };
}

ConsoleRecipe setPortRecipe()
{
    const QString title = QStringLiteral("Set Port");
    return {
        .pane = Pane::Port,
        .ipField = Field::IPAddr_Port,
        .portField = Field::Port_Port,
        .headerText = QStringLiteral(" : Set Port "),
        .furtherField = ConsoleRecipe::FurtherField{QStringLiteral("   New Port : "), Field::NewPort},
        .checks = {addressCheck(Field::IPAddr_Port, IPAddressError), notEmptyCheck(Field::Port_Port),
                   notEmptyCheck(Field::NewPort)},
        .paddedFields = {Field::Port_Port, Field::NewPort},
        .commandLine = [](const OperationView &view,
                          int slot) { return SetPortCommandLine(view.fieldText(Field::NewPort, slot)); },
        .pauseMs = 3000,
        .pauseOrder = ConsoleRecipe::PauseOrder::RememberThenPause,
        .connectionErrorText = ConnectionError,
        .commandErrorText = QStringLiteral("Set Port Error!"),
        .genericErrorText = [](int slot) { return QStringLiteral("SLOT%1 : Set Port Error!").arg(slot); },
        .errorTitle = title,
        .completionText = QStringLiteral("Port setting is finished."),
        .completionTitle = title,
    };
}

ConsoleRecipe setGWRecipe()
{
    const QString title = QStringLiteral("Set GW Addr");
    const QString setError = QStringLiteral("Set GateWay Address Error!");
    return {
        .pane = Pane::GW,
        .ipField = Field::IPAddr_GW,
        .portField = Field::Port_GW,
        .headerText = QStringLiteral(" : Set GateWay Addr "),
        .furtherField = ConsoleRecipe::FurtherField{QStringLiteral("   GateWay Addr : "), Field::GateWay},
        .checks = {addressCheck(Field::IPAddr_GW, IPAddressError),
                   addressCheck(Field::GateWay, QStringLiteral("GateWay Address Error!")),
                   notEmptyCheck(Field::Port_GW)},
        .paddedFields = {Field::Port_GW},
        .commandLine = addressCommand(QByteArrayLiteral("UE3"), Field::GateWay),
        .pauseMs = 3000,
        .pauseOrder = ConsoleRecipe::PauseOrder::RememberThenPause,
        .connectionErrorText = ConnectionError,
        .commandErrorText = setError,
        .genericErrorText = fixedText(setError),
        .errorTitle = title,
        .completionText = QStringLiteral("GateWay Address setting is finished."),
        .completionTitle = title,
    };
}

ConsoleRecipe setSubnetRecipe()
{
    const QString setError = QStringLiteral("Set Subnet Mask Error!");
    return {
        .pane = Pane::Sub,
        .ipField = Field::IPAddr_Sub,
        .portField = Field::Port_Sub,
        .headerText = QStringLiteral(" : Set Subnet Mask "),
        .furtherField = ConsoleRecipe::FurtherField{QStringLiteral("   Subnet Mask : "), Field::SubnetMask},
        .checks = {addressCheck(Field::IPAddr_Sub, IPAddressError),
                   addressCheck(Field::SubnetMask, QStringLiteral("Subnet Mask Error!")),
                   notEmptyCheck(Field::Port_Sub)},
        .paddedFields = {Field::Port_Sub},
        .commandLine = addressCommand(QByteArrayLiteral("UE4"), Field::SubnetMask),
        .pauseMs = 3000,
        .pauseOrder = ConsoleRecipe::PauseOrder::RememberThenPause,
        .connectionErrorText = ConnectionError,
        .commandErrorText = setError,
        .genericErrorText = fixedText(setError),
        // This pane's error box and completion box carry different titles.
        .errorTitle = QStringLiteral("Set Subnet Mask"),
        .completionText = QStringLiteral("Subnet Mask setting is finished."),
        .completionTitle = QStringLiteral("Subnet Mask"),
    };
}

} // namespace

void ConsoleRecipe::padFields(OperationView &view, int slot) const
{
    for (Field field : paddedFields)
        view.setFieldText(field, slot, PadPortNo(view.fieldText(field, slot)));
}

const ConsoleRecipe &RecipeFor(ConsoleOp op)
{
    static const ConsoleRecipe comCheck = comCheckRecipe();
    static const ConsoleRecipe setPort = setPortRecipe();
    static const ConsoleRecipe setGW = setGWRecipe();
    static const ConsoleRecipe setSubnet = setSubnetRecipe();
    switch (op) {
    case ConsoleOp::ComCheck:
        return comCheck;
    case ConsoleOp::SetPort:
        return setPort;
    case ConsoleOp::SetGW:
        return setGW;
    case ConsoleOp::SetSubnet:
        break;
    }
    return setSubnet;
}
