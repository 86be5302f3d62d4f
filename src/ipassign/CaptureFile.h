#pragma once

#include <QString>
#include <QStringList>

// Reading the capture file back. Lines end at CR, CR LF or LF; the terminator is not part of the line.
// A file that cannot be opened throws HostStepFailed.

// The lines of the capture file, empty ones included.
QStringList ReadCaptureLines(const QString &path);

// Every non-empty line as four blanks + line + CR LF; "" for a file without such lines.
QString CaptureReport(const QStringList &lines);
QString ReadCaptureReport(const QString &path);

// Whether a line of the capture file contains text (case-sensitive).
bool CaptureHasLine(const QString &path, const QString &text);
