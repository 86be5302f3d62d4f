#pragma once

#include <QString>
#include <QStringList>

// Reading the capture file back. Lines end at CR, CR LF or LF; the terminator is not part of the line.
// A file that cannot be opened throws HostStepFailed.

// A host command may print without end; only this much of the capture is read.
constexpr qint64 CaptureByteLimit = qint64{1024} * 1024;
constexpr qsizetype CaptureLineLimit = 10000;
// The line that stands last when the capture held more than the limits.
extern const QString CaptureCutLine;

// The lines of the capture file, empty ones included, up to the limits; then CaptureCutLine.
QStringList ReadCaptureLines(const QString &path);

// Every non-empty line as four blanks + line + CR LF; "" for a file without such lines.
QString CaptureReport(const QStringList &lines);
QString ReadCaptureReport(const QString &path);

// Whether a line of the capture file contains text (case-sensitive).
bool CaptureHasLine(const QString &path, const QString &text);
