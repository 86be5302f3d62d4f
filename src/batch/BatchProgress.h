#pragma once

#include "BatchReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdio>

// Progress on standard error while a plan runs. On a terminal one live line, rewritten in place within
// the terminal's width: steps done of all, units done, failures so far, time elapsed and an estimate of
// the time left. Elsewhere one line per finished step.
class BatchProgress : public QObject
{
    Q_OBJECT

public:
    BatchProgress(int unitCount, int stepCount, bool liveLine, std::FILE *stream, QObject *parent = nullptr);

    void stepFinished(const StepOutcome &outcome);
    void unitFinished();
    // Leaves the live line as it stands and moves to a fresh line.
    void end();
    qint64 elapsedMs() const { return m_elapsed.elapsed(); }

    // The live line's text, its least needed parts left off until it fits in `columns` characters.
    static QString liveLineText(int stepsDone, int stepCount, int unitsDone, int unitCount, int failed,
                                qint64 elapsedMs, int columns);

private:
    void drawLiveLine();
    void write(const QString &text);

    const int m_unitCount;
    const int m_stepCount;
    const bool m_liveLine;
    std::FILE *const m_stream;
    int m_unitsDone = 0;
    int m_stepsDone = 0;
    int m_stepsFailed = 0;
    QElapsedTimer m_elapsed;
    QTimer m_clock; // keeps the elapsed time of the live line moving
};
