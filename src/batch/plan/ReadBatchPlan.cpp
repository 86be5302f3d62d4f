#include "BatchPlan.h"

#include "AddressValidation.h"
#include "CsvRecords.h"
#include "HostAddressText.h"
#include "HostText.h"
#include "KeyFilters.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <optional>

namespace
{

enum class Column { Unit, Ip, Port, Mac, Gateway, Mask, NewPort, Check };

struct ColumnName {
    Column column;
    const char *name;
};

constexpr std::array<ColumnName, 8> Columns{{
    {Column::Unit, "unit"},
    {Column::Ip, "ip"},
    {Column::Port, "port"},
    {Column::Mac, "mac"},
    {Column::Gateway, "gateway"},
    {Column::Mask, "mask"},
    {Column::NewPort, "new_port"},
    {Column::Check, "check"},
}};

// A plan is a list of units, not a data set: anything this large is not a plan.
constexpr qint64 MaxPlanBytes = qint64(16) * 1024 * 1024;

QString nameOf(Column column)
{
    for (const ColumnName &known : Columns) {
        if (known.column == column)
            return QString::fromLatin1(known.name);
    }
    return {};
}

std::optional<Column> columnNamed(const QString &name)
{
    for (const ColumnName &known : Columns) {
        if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.column;
    }
    return std::nullopt;
}

QString knownColumns()
{
    QStringList names;
    for (const ColumnName &known : Columns)
        names << QString::fromLatin1(known.name);
    return names.join(QStringLiteral(", "));
}

QString fieldName(qsizetype index)
{
    return QStringLiteral("field %1").arg(index + 1);
}

// The console port fields hold one to four characters of the hex port rule.
std::optional<QString> consolePort(const QString &text)
{
    if (text.isEmpty() || text.size() > 4)
        return std::nullopt;
    return typedThrough(HexPortKeyRule, text);
}

bool holdsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar ch) { return ch.category() == QChar::Other_Control; });
}

const QString AddressForm = QStringLiteral(" (a.b.c.d, each 0 to 255)");
const QString NotAPort = QStringLiteral("not a console port (1 to 4 hex digits, e.g. 2720)");

class PlanReader
{
public:
    explicit PlanReader(BatchPlan &plan) : m_plan(plan) {}

    void read(const QString &text)
    {
        const CsvRecords csv = ReadCsvRecords(text);
        const CsvRecord *header = nullptr;
        for (const CsvRecord &record : csv.records) {
            if (isBlank(record))
                continue;
            if (!header) {
                header = &record;
                readHeader(record);
            } else {
                readRow(record);
            }
        }
        for (const CsvSyntaxError &error : csv.problems) {
            const bool inHeader = header ? error.line <= header->line : true;
            const QString column = !inHeader && error.field < m_columnAt.size() && m_columnAt[error.field]
                                       ? nameOf(*m_columnAt[error.field])
                                       : fieldName(error.field);
            problem(error.line, column, error.reason);
        }
        finish(header, csv.problems.isEmpty());
        std::stable_sort(m_plan.problems.begin(), m_plan.problems.end(),
                         [](const PlanProblem &a, const PlanProblem &b) { return a.line < b.line; });
    }

    void problem(int line, const QString &column, const QString &reason)
    {
        m_plan.problems.append({line, column, reason});
    }

private:
    static bool isBlank(const CsvRecord &record)
    {
        return std::all_of(record.fields.cbegin(), record.fields.cend(),
                           [](const QString &field) { return field.trimmed().isEmpty(); });
    }

    void readHeader(const CsvRecord &header)
    {
        m_headerLine = header.line;
        QHash<Column, qsizetype> seen;
        for (qsizetype i = 0; i < header.fields.size(); ++i) {
            const QString name = header.fields[i].trimmed();
            const std::optional<Column> column = columnNamed(name);
            m_columnAt.append(std::nullopt);
            if (name.isEmpty()) {
                problem(header.line, fieldName(i), "no column name (expected one of " + knownColumns() + ")");
            } else if (!column) {
                // Spreadsheets set to a decimal comma save CSV with semicolons between the fields.
                const QString hint =
                    name.contains(';') ? QStringLiteral("; fields are separated by commas") : QString();
                // The name is printed as the column: one that could steer a terminal is named by position.
                problem(header.line, holdsControlCharacter(name) ? fieldName(i) : name,
                        "unknown column (expected one of " + knownColumns() + hint + ")");
            } else if (seen.contains(*column)) {
                problem(header.line, nameOf(*column),
                        QStringLiteral("column named twice (fields %1 and %2)")
                            .arg(seen[*column] + 1)
                            .arg(i + 1));
            } else {
                seen.insert(*column, i);
                m_columnAt.last() = column;
            }
        }
        for (const Column required : {Column::Unit, Column::Ip}) {
            if (!seen.contains(required))
                problem(header.line, nameOf(required),
                        QStringLiteral("required column missing (every plan names unit and ip)"));
        }
        m_hasPortColumn = seen.contains(Column::Port);
    }

    QString value(const CsvRecord &row, Column column) const
    {
        const qsizetype at = m_columnAt.indexOf(column);
        return at >= 0 && at < row.fields.size() ? row.fields[at].trimmed() : QString();
    }

    void readRow(const CsvRecord &row)
    {
        ++m_rowCount;
        if (row.fields.size() > m_columnAt.size()) {
            problem(row.line, fieldName(m_columnAt.size()),
                    QStringLiteral("the row has %1 fields but the header names %2 columns (put a field "
                                   "that holds a comma in quotes)")
                        .arg(row.fields.size())
                        .arg(m_columnAt.size()));
            return;
        }
        PlanUnit unit;
        unit.line = row.line;
        unit.unit = value(row, Column::Unit);
        unit.ip = value(row, Column::Ip);
        unit.port = value(row, Column::Port);
        unit.mac = value(row, Column::Mac);
        unit.gateway = value(row, Column::Gateway);
        unit.mask = value(row, Column::Mask);
        unit.newPort = value(row, Column::NewPort);

        checkLabel(unit);
        checkAddress(unit.line, Column::Ip, unit.ip, QStringLiteral("an IPv4 address"), true);
        checkAddress(unit.line, Column::Gateway, unit.gateway, QStringLiteral("an IPv4 address"), false);
        checkAddress(unit.line, Column::Mask, unit.mask, QStringLiteral("a subnet mask"), false);
        checkCheck(unit, value(row, Column::Check));
        checkPort(unit.line, Column::NewPort, unit.newPort);
        checkMacTail(unit);
        checkConsolePort(unit);
        if (unit.steps().isEmpty())
            problem(unit.line, nameOf(Column::Check),
                    QStringLiteral("no to a unit with no other step (give mac, gateway, mask or new_port, or "
                                   "leave check empty)"));
        checkAddressAndPortUnique(unit);
        m_plan.units.append(unit);
    }

    void checkLabel(const PlanUnit &unit)
    {
        if (!m_columnAt.contains(Column::Unit))
            return;
        if (unit.unit.isEmpty()) {
            problem(unit.line, nameOf(Column::Unit), QStringLiteral("empty (every row needs a label)"));
        } else if (holdsControlCharacter(unit.unit)) {
            problem(unit.line, nameOf(Column::Unit),
                    QStringLiteral("holds a line break or control character (a label is one line of text)"));
        } else if (m_labelLines.contains(unit.unit)) {
            problem(unit.line, nameOf(Column::Unit),
                    QStringLiteral("label \"%1\" already used on line %2 (labels must be unique)")
                        .arg(unit.unit)
                        .arg(m_labelLines[unit.unit]));
        } else {
            m_labelLines.insert(unit.unit, unit.line);
        }
    }

    // The window's address check; what names the kind of address for the reason.
    void checkAddress(int line, Column column, const QString &text, const QString &what, bool required)
    {
        if (text.isEmpty()) {
            if (required && m_columnAt.contains(column))
                problem(line, nameOf(column), "empty (expected " + what + AddressForm + ")");
            return;
        }
        if (ConvIPAddr(text).size() != 12)
            problem(line, nameOf(column), "not " + what + AddressForm);
    }

    void checkPort(int line, Column column, QString &text)
    {
        if (text.isEmpty())
            return;
        const std::optional<QString> port = consolePort(text);
        if (!port)
            problem(line, nameOf(column), NotAPort);
        else
            text = *port;
    }

    void checkConsolePort(PlanUnit &unit)
    {
        const bool needed =
            !unit.gateway.isEmpty() || !unit.mask.isEmpty() || !unit.newPort.isEmpty() || unit.check;
        if (unit.port.isEmpty() && needed) {
            if (m_hasPortColumn)
                problem(unit.line, nameOf(Column::Port),
                        QStringLiteral("empty, but the unit has console steps (gateway, mask, new_port or "
                                       "check): expected 1 to 4 hex digits, e.g. 2720"));
            else
                m_portColumnNeeded = true;
            return;
        }
        checkPort(unit.line, Column::Port, unit.port);
    }

    void checkCheck(PlanUnit &unit, const QString &text)
    {
        if (text.isEmpty() || text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
            unit.check = true;
        else if (text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
            unit.check = false;
        else
            problem(unit.line, nameOf(Column::Check), QStringLiteral("neither yes nor no (empty means yes)"));
    }

    // The IP pane's own check of the whole MAC address, prefix and tail.
    void checkMacTail(PlanUnit &unit)
    {
        if (unit.mac.isEmpty())
            return;
        const std::optional<QString> tail = typedThrough(MacTailKeyRule, unit.mac);
        if (!tail || !IsSlotMACAddress(QLatin1String(SlotMACPrefix) + '-' + *tail)) {
            problem(unit.line, nameOf(Column::Mac),
                    QStringLiteral("not a MAC tail (XX-XX-XX in hex digits: the last three groups of "
                                   "the unit's MAC address)"));
            return;
        }
        unit.mac = *tail;
    }

    // Two rows that reach the same console would work against each other at the same time: the address
    // is compared by value (127.0.0.010 is 127.0.0.10), ports as numbers, and a new port is taken as
    // well, since the unit answers there once it has moved.
    void checkAddressAndPortUnique(const PlanUnit &unit)
    {
        const QString address = ConvIPAddr(unit.ip);
        if (address.size() != 12)
            return;
        claimConsole(unit, address, Column::Port, unit.port, Column::Ip);
        if (!unit.newPort.isEmpty())
            claimConsole(unit, address, Column::NewPort, unit.newPort, Column::NewPort);
    }

    void claimConsole(const PlanUnit &unit, const QString &address, Column portColumn,
                      const QString &portText, Column reportedColumn)
    {
        const std::optional<quint16> port = portFromHexText(portText);
        if (!portText.isEmpty() && !port)
            return;
        const QString key = address + '/' + (port ? QString::number(*port) : QString());
        const auto earlier = m_consoles.constFind(key);
        if (earlier == m_consoles.cend()) {
            m_consoles.insert(key, {unit.line, unit.unit, nameOf(portColumn)});
            return;
        }
        if (earlier->line == unit.line)
            return; // a new port that is the unit's own port
        const QString console = port
                                    ? QStringLiteral("%1 port %2 is already the %3 of")
                                          .arg(HostIPAddr(address), PadPortNo(portText), earlier->portColumn)
                                    : QStringLiteral("%1 is already the address of").arg(HostIPAddr(address));
        problem(unit.line, nameOf(reportedColumn),
                QStringLiteral("%1 \"%2\" on line %3 (each unit needs its own address and port)")
                    .arg(console, earlier->label)
                    .arg(earlier->line));
    }

    void finish(const CsvRecord *header, bool wellFormed)
    {
        if (!header) {
            if (wellFormed)
                problem(
                    1, {},
                    QStringLiteral("the file is empty (expected a header row such as unit,ip,port and one "
                                   "row per unit)"));
            return;
        }
        if (m_portColumnNeeded)
            problem(
                m_headerLine, nameOf(Column::Port),
                QStringLiteral("required column missing (units with gateway, mask, new_port or check need "
                               "their console port)"));
        if (m_rowCount == 0 && wellFormed)
            problem(m_headerLine, {}, QStringLiteral("no units (the header is followed by no row)"));
    }

    BatchPlan &m_plan;
    QList<std::optional<Column>> m_columnAt; // per header field: the column it names, if any
    int m_headerLine = 0;
    int m_rowCount = 0;
    bool m_hasPortColumn = false;
    bool m_portColumnNeeded = false;
    QHash<QString, int> m_labelLines;
    struct ConsoleUser {
        int line = 0;
        QString label;
        QString portColumn; // "port" or "new_port"
    };
    QHash<QString, ConsoleUser> m_consoles; // 12-digit address "/" decimal port -> the first row using it
};

// Lines (from 1) that are not UTF-8; a multi-byte character never holds a line feed byte.
QList<int> linesNotUtf8(const QByteArray &bytes)
{
    QList<int> lines;
    int line = 1;
    for (const QByteArray &piece : bytes.split('\n')) {
        QStringDecoder decoder(QStringConverter::Utf8);
        const QString decoded = decoder.decode(piece);
        if (decoder.hasError())
            lines.append(line);
        ++line;
    }
    return lines;
}

} // namespace

BatchPlan ReadBatchPlan(const QString &path)
{
    BatchPlan plan;
    PlanReader reader(plan);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reader.problem(0, {}, "cannot be read: " + file.errorString());
        return plan;
    }
    const QByteArray bytes = file.read(MaxPlanBytes + 1);
    if (bytes.size() > MaxPlanBytes) {
        reader.problem(0, {}, QStringLiteral("larger than 16 MiB; a plan holds one row per unit"));
        return plan;
    }
    for (const int line : linesNotUtf8(bytes))
        reader.problem(line, {}, QStringLiteral("not UTF-8 text (save the plan as UTF-8 CSV)"));
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    reader.read(text);
    return plan;
}

QString FormatPlanProblem(const QString &planPath, const PlanProblem &problem)
{
    QString text = planPath + ':';
    if (problem.line > 0)
        text += QString::number(problem.line) + ':';
    text += ' ';
    if (!problem.column.isEmpty())
        text += problem.column + QStringLiteral(": ");
    return text + problem.reason;
}
