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

namespace {

// A size line of /proc/self/status, such as "VmHWM:", in megabytes.
double statusMegabytes(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

} // namespace

double peakMemoryMegabytes()
{
    return statusMegabytes("VmHWM:");
}

double privateMemoryMegabytes()
{
    return statusMegabytes("RssAnon:");
}

void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}
