#include "BatchProgress.h"

#include "PrintText.h"
#include "platform/StandardErrorTerminal.h"

#include <QStringList>
#include <algorithm>

namespace
{

// A terminal of unknown width is taken to be this wide.
constexpr int DefaultColumns = 80;

QString durationText(qint64 seconds)
{
    return seconds < 60
               ? QStringLiteral("%1 s").arg(seconds)
               : QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

BatchProgress::BatchProgress(int unitCount, int stepCount, bool liveLine, std::FILE *stream, QObject *parent)
    : QObject(parent), m_unitCount(unitCount), m_stepCount(stepCount), m_liveLine(liveLine), m_stream(stream)
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
    ++m_stepsDone;
    if (outcome.result == StepOutcome::Result::Error)
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
                (outcome.text.isEmpty() || outcome.text == ResultName(outcome.result)
                     ? QString()
                     : QStringLiteral(": ") + outcome.text);
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

QString BatchProgress::liveLineText(int stepsDone, int stepCount, int unitsDone, int unitCount, int failed,
                                    qint64 elapsedMs, int columns)
{
    const qint64 seconds = elapsedMs / 1000;
    // Most needed first: the parts at the end go first when the terminal is narrow.
    QStringList parts{QStringLiteral("%1/%2 steps").arg(stepsDone).arg(stepCount),
                      QStringLiteral("%1 failed").arg(failed)};
    if (stepsDone > 0 && stepsDone < stepCount) {
        const qint64 left = elapsedMs * (stepCount - stepsDone) / stepsDone / 1000;
        parts << QStringLiteral("about %1 left").arg(durationText(left));
    }
    parts << durationText(seconds) + QStringLiteral(" so far")
          << QStringLiteral("%1/%2 units done").arg(unitsDone).arg(unitCount);
    // The last column stays free: a line that fills it makes some terminals move to the next line.
    const int room = std::max(1, (columns > 0 ? columns : DefaultColumns) - 1);
    QString line = parts.join(QStringLiteral(", "));
    while (line.size() > room && parts.size() > 1) {
        parts.removeLast();
        line = parts.join(QStringLiteral(", "));
    }
    return line.left(room).leftJustified(room);
}

void BatchProgress::drawLiveLine()
{
    // Padded to the width, so that a shorter line leaves nothing of the longer one before it.
    write(QLatin1Char('\r') + liveLineText(m_stepsDone, m_stepCount, m_unitsDone, m_unitCount, m_stepsFailed,
                                           m_elapsed.elapsed(), StandardErrorColumns()));
}

void BatchProgress::write(const QString &text)
{
    PrintText(m_stream, text);
}
