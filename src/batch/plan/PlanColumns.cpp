#include "PlanColumns.h"

#include "PlanFieldChecks.h"

#include <QHash>
#include <array>

namespace
{

struct ColumnName {
    PlanColumn column;
    const char *name;
};

constexpr std::array<ColumnName, 8> Columns{{
    {PlanColumn::Unit, "unit"},
    {PlanColumn::Ip, "ip"},
    {PlanColumn::Port, "port"},
    {PlanColumn::Mac, "mac"},
    {PlanColumn::Gateway, "gateway"},
    {PlanColumn::Mask, "mask"},
    {PlanColumn::NewPort, "new_port"},
    {PlanColumn::Check, "check"},
}};

std::optional<PlanColumn> columnNamed(const QString &name)
{
    for (const ColumnName &known : Columns) {
        if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.column;
    }
    return std::nullopt;
}

// Free text for the people who keep the plan: carried into the summary, never checked.
bool namesNote(const QString &name)
{
    return name.compare(QLatin1String("note"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("comment"), Qt::CaseInsensitive) == 0;
}

QString knownColumns()
{
    QStringList names;
    for (const ColumnName &known : Columns)
        names << QString::fromLatin1(known.name);
    return names.join(QStringLiteral(", "));
}

// Why a name is not a column, with a hint where the whole header row looks like one field.
QString unknownColumnReason(const QString &name)
{
    // Spreadsheets set to a decimal comma save CSV with semicolons between the fields; "Text (tab
    // delimited)" saves with tabs.
    QString hint;
    if (name.contains('\t'))
        hint = QStringLiteral("; fields are separated by commas, not tabs: save the plan as CSV");
    else if (name.contains(';'))
        hint = QStringLiteral("; fields are separated by commas");
    return "unknown column (expected one of " + knownColumns() + hint + ")";
}

} // namespace

QString PlanColumnName(PlanColumn column)
{
    for (const ColumnName &known : Columns) {
        if (known.column == column)
            return QString::fromLatin1(known.name);
    }
    return {};
}

QString PlanFieldName(qsizetype index)
{
    return QStringLiteral("field %1").arg(index + 1);
}

QString PlanHeader::value(const QStringList &fields, PlanColumn column) const
{
    const qsizetype at = columnAt.indexOf(column);
    return at >= 0 && at < fields.size() ? fields[at].trimmed() : QString();
}

QStringList PlanHeader::notes(const QStringList &fields) const
{
    QStringList texts;
    for (const qsizetype at : noteAt)
        texts << (at < fields.size() ? fields[at].trimmed() : QString());
    return texts;
}

PlanHeader ReadPlanHeader(const QStringList &fields, int line, QList<PlanProblem> &problems)
{
    PlanHeader header;
    qsizetype used = fields.size();
    while (used > 0 && fields[used - 1].trimmed().isEmpty())
        --used;
    QHash<PlanColumn, qsizetype> seen;
    for (qsizetype i = 0; i < used; ++i) {
        const QString name = fields[i].trimmed();
        const std::optional<PlanColumn> column = columnNamed(name);
        header.columnAt.append(std::nullopt);
        if (name.isEmpty()) {
            problems.append(
                {line, PlanFieldName(i), "no column name (expected one of " + knownColumns() + ")"});
        } else if (namesNote(name)) {
            header.noteAt.append(i);
            header.noteNames.append(name);
        } else if (!column) {
            // The name is printed as the column: one that could steer a terminal is named by position.
            problems.append(
                {line, HoldsControlCharacter(name) ? PlanFieldName(i) : name, unknownColumnReason(name)});
        } else if (seen.contains(*column)) {
            problems.append(
                {line, PlanColumnName(*column),
                 QStringLiteral("column named twice (fields %1 and %2)").arg(seen[*column] + 1).arg(i + 1)});
        } else {
            seen.insert(*column, i);
            header.columnAt.last() = column;
        }
    }
    for (const PlanColumn required : {PlanColumn::Unit, PlanColumn::Ip}) {
        if (!seen.contains(required))
            problems.append({line, PlanColumnName(required),
                             QStringLiteral("required column missing (every plan names unit and ip)")});
    }
    header.hasPortColumn = seen.contains(PlanColumn::Port);
    return header;
}
