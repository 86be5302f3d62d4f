#pragma once

#include <QString>

#include <cstdio>

// Writes text to standard output or standard error, flushed, in the form the stream's reader can show
// (see platform/StandardText.h). Returns false when not all of it was written.
bool PrintText(std::FILE *stream, const QString &text);
