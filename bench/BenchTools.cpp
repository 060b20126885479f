#include "BenchTools.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>

double bestSeconds(const std::function<void()>& work, int runs)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void report(const char* stage, double seconds, const char* detail)
{
    std::printf("%-38s %9.1f ms   %s\n", stage, seconds * 1000.0, detail);
    std::fflush(stdout);
}

double peakMemoryMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}
