// Reads plans of nearly 16 MiB (the largest the program takes) and prints, for each, the resident
// memory reading took above what the process held before (its peak, VmHWM, reset first), the time, and
// what was found. The figure to watch is the peak above start; the goal is below 64 MiB.
#include "BatchPlan.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace
{

constexpr qint64 PlanBytes = 16 * 1024 * 1024 - 64 * 1024;

// A /proc/self/status figure in KiB.
qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void writePlan(const QString &path, const std::function<QByteArray(int)> &row)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("unit,ip,port,gateway,note\n");
    for (int i = 0; file.size() < PlanBytes; ++i)
        file.write(row(i));
}

void measure(const char *name, const QString &path)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool peakReset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 startKiB = statusKiB("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    qint64 problems = 0, units = 0;
    {
        const BatchPlan plan = ReadBatchPlan(path);
        problems = plan.problems.size() + plan.moreProblems;
        units = plan.units.size();
    }
    const qint64 ms = timer.elapsed();
    const auto cpuMs = qint64(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
    const qint64 peakKiB = statusKiB("VmHWM:");
    std::printf(
        "%-26s %5.1f MiB file %7lld units %7lld problems %6lld ms (CPU %6lld ms) peak %6.1f MiB above "
        "start%s\n",
        name, double(QFile(path).size()) / 1048576.0, units, problems, ms, cpuMs,
        double(peakKiB - startKiB) / 1024.0, peakReset ? "" : " (peak not reset: an upper bound)");
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString duplicates = dir.filePath(QStringLiteral("duplicates.csv"));
    writePlan(duplicates, [](int) { return QByteArray("rack-1,127.0.0.1,2720,10.0.0.254,spare\n"); });
    measure("same row again and again", duplicates);

    const QString distinct = dir.filePath(QStringLiteral("distinct.csv"));
    writePlan(distinct, [](int i) {
        return QStringLiteral("第1ラック-%1,10.%2.%3.%4,2720,10.0.0.254,spare\n")
            .arg(i)
            .arg((i >> 16) & 255)
            .arg((i >> 8) & 255)
            .arg(i & 255)
            .toUtf8();
    });
    measure("distinct good rows", distinct);
    return 0;
}
