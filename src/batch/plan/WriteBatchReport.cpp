#include "BatchReport.h"

#include "FileReplacement.h"

namespace
{

// A spreadsheet runs a cell that starts with one of these as a formula; a leading apostrophe makes it
// text (and shows the text without it).
bool startsLikeFormula(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front());
}

QString csvField(const QString &text)
{
    QString cell = startsLikeFormula(text) ? QLatin1Char('\'') + text : text;
    const bool needsQuotes = cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
                             cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return cell;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

// ISO 8601 with milliseconds and the offset from UTC written out (+00:00, never Z); "" when the step
// never started.
QString startedText(const QDateTime &started)
{
    if (!started.isValid())
        return {};
    const int offset = started.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return started.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + (offset < 0 ? '-' : '+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QByteArray reportText(const QList<StepOutcome> &outcomes)
{
    QString text = QStringLiteral("unit,step,result,text,started,duration_ms\r\n");
    for (const StepOutcome &outcome : outcomes) {
        const QStringList fields{
            outcome.unit, BatchStepName(outcome.step),  ResultName(outcome.result),
            outcome.text, startedText(outcome.started), QString::number(outcome.durationMs)};
        QStringList cells;
        for (const QString &field : fields)
            cells << csvField(field);
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace

// The program may run as root and a report folder such as /tmp is open to every user: the report
// replaces the file the way the settings are saved (never through a link into another owner's file).
bool WriteBatchReport(const QString &path, const QList<StepOutcome> &outcomes, QString *error)
{
    QString reason;
    const bool written = ReplaceFileContent(path, reportText(outcomes), reason);
    if (!written && error)
        *error = reason;
    return written;
}
