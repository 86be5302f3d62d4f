#include "ConsoleLogLines.h"

namespace
{

const QString NewLine = QStringLiteral("\r\n");
const QString Indent = QStringLiteral("        ");

} // namespace

QString SlotHeaderLine(int slot, const QString &headerText)
{
    return QStringLiteral("<SLOT ") + QString::number(slot) + headerText + QStringLiteral(">") + NewLine;
}

QString SlotFieldLine(const QString &ip, const QString &port, const QString &furtherFields)
{
    return Indent + QStringLiteral("IP : ") + ip + QStringLiteral("   Port : ") + port + furtherFields +
           NewLine;
}

QString SlotPassLines()
{
    return Indent + QStringLiteral("// Pass  ") + NewLine + NewLine;
}

QString SlotErrorLines(const QString &errorText)
{
    return Indent + QStringLiteral("// Error!  ") + errorText + NewLine + NewLine;
}
