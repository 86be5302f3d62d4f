#include "CaptureFile.h"

#include "HostShell.h"

#include <QFile>

#include <algorithm>

const QString CaptureCutLine =
    QStringLiteral("[The output was cut here: only its first 1 MiB or 10000 lines are read.]");

QStringList ReadCaptureLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw HostStepFailed("capture file could not be opened: " + path.toStdString());
    const QByteArray content = file.read(CaptureByteLimit);
    bool cut = !file.atEnd();
    file.close();

    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (lines.size() == CaptureLineLimit)
            break;
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(QString::fromLocal8Bit(content.mid(start, i - start)));
        if (c == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size() && lines.size() == CaptureLineLimit)
        cut = true;
    else if (start < content.size())
        lines.append(QString::fromLocal8Bit(content.mid(start)));
    if (cut)
        lines.append(CaptureCutLine);
    return lines;
}

QString CaptureReport(const QStringList &lines)
{
    QString report;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            report += "    " + line + "\r\n";
    }
    return report;
}

QString ReadCaptureReport(const QString &path)
{
    return CaptureReport(ReadCaptureLines(path));
}

bool CaptureHasLine(const QString &path, const QString &text)
{
    const QStringList lines = ReadCaptureLines(path);
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&](const QString &line) { return line.contains(text, Qt::CaseSensitive); });
}
