#include "BatchProgress.h"

#include "PrintText.h"

BatchProgress::BatchProgress(int unitCount, bool liveLine, std::FILE *stream, QObject *parent)
    : QObject(parent), m_unitCount(unitCount), m_liveLine(liveLine), m_stream(stream)
{
    m_elapsed.start();
    if (m_liveLine) {
        connect(&m_clock, &QTimer::timeout, this, &BatchProgress::drawLiveLine);
        m_clock.start(1000);
        drawLiveLine();
    }
}

void BatchProgress::stepFinished(const StepOutcome &outcome)
{
    if (outcome.result == StepOutcome::Result::Pass)
        ++m_stepsPassed;
    else if (outcome.result == StepOutcome::Result::Error)
        ++m_stepsFailed;
    if (m_liveLine) {
        drawLiveLine();
        return;
    }
    // "U7 check: error (5012 ms): Time Out Error!"; "U7 check: skipped: earlier step failed".
    QString line = outcome.unit + QLatin1Char(' ') + BatchStepName(outcome.step) + QStringLiteral(": ");
    if (outcome.result == StepOutcome::Result::Skipped)
        line += outcome.text;
    else
        line += QStringLiteral("%1 (%2 ms)").arg(ResultName(outcome.result)).arg(outcome.durationMs) +
                (outcome.text.isEmpty() ? QString() : QStringLiteral(": ") + outcome.text);
    write(line + QLatin1Char('\n'));
}

void BatchProgress::unitFinished()
{
    ++m_unitsDone;
    if (m_liveLine)
        drawLiveLine();
}

void BatchProgress::end()
{
    if (!m_liveLine)
        return;
    m_clock.stop();
    drawLiveLine();
    write(QStringLiteral("\n"));
}

void BatchProgress::drawLiveLine()
{
    // Padded, so that a shorter line leaves nothing of the longer one before it.
    const QString line = QStringLiteral("%1/%2 units done, %3 steps passed, %4 failed, %5 s")
                             .arg(m_unitsDone)
                             .arg(m_unitCount)
                             .arg(m_stepsPassed)
                             .arg(m_stepsFailed)
                             .arg(m_elapsed.elapsed() / 1000);
    write(QLatin1Char('\r') + line.leftJustified(72));
}

void BatchProgress::write(const QString &text)
{
    PrintText(m_stream, text);
}
