#include "BatchReport.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

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

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

// The report goes into a new file next to the target, which then takes the target's name in one
// rename. The rename replaces the directory entry itself: a symbolic link standing at the target is
// replaced, never followed, so the report never lands in a file the link points to, whoever owns it
// (the program may run as root, and a report folder such as /tmp is writable by every user).
bool WriteBatchReport(const QString &path, const QList<StepOutcome> &outcomes, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo target(path);
    if (target.isDir() && !target.isSymLink())
        return fail(path + " is a folder");

    QTemporaryFile temporary(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    if (!temporary.open())
        return fail("cannot make a file in " + target.absolutePath() + ": " + temporary.errorString());
    const QByteArray bytes = reportText(outcomes);
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        return fail("cannot write " + temporary.fileName() + ": " + temporary.errorString());
    // A report that replaces one keeps its mode, but never lets others write (the old file may have been
    // planted for the purpose); a new one is readable by all, like a file a user saves.
    const bool replacesPlainFile = target.exists() && !target.isSymLink() && target.isFile();
    temporary.setPermissions(replacesPlainFile
                                 ? target.permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther)
                                 : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                       QFileDevice::ReadOther);
    temporary.close();

    std::error_code renameError;
    std::filesystem::rename(nativePath(temporary.fileName()), nativePath(path), renameError);
    if (renameError)
        return fail("cannot replace " + path + ": " + QString::fromStdString(renameError.message()));
    temporary.setAutoRemove(false);
    return true;
}
