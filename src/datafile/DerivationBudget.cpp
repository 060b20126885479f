#include "datafile/DerivationBudget.h"

#include <QElapsedTimer>

#include <algorithm>
#include <limits>
#include <mutex>

#include <unistd.h>

namespace DerivationBudget {

namespace {

// Small enough to go unnoticed, large enough that the fixed part of a
// derivation does not dominate; the quickest of a few runs, as the machine
// may be busy with something else during one.
constexpr ProtectedContainer::DerivationCost Calibration{1, 16 * 1024};
constexpr int CalibrationRuns = 3;

std::mutex machineMutex;
std::optional<Machine> assumed;

double measuredSecondsPerPassMiB()
{
    static const double measured = [] {
        ProtectedContainer::Salt salt{};
        ProtectedContainer::Key key{};
        qint64 quickest = std::numeric_limits<qint64>::max();
        for (int run = 0; run < CalibrationRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            ProtectedContainer::deriveArgon2id(QStringLiteral("calibration"), salt, Calibration, key);
            quickest = std::min(quickest, timer.nsecsElapsed());
        }
        return double(quickest) / 1e9 / (double(Calibration.passes) * double(Calibration.memoryKiB) / 1024);
    }();
    return measured;
}

quint64 physicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? quint64(pages) * quint64(pageSize) : 0;
}

Machine machine()
{
    {
        const std::lock_guard lock(machineMutex);
        if (assumed)
            return *assumed;
    }
    return {measuredSecondsPerPassMiB(), physicalMemory()};
}

} // namespace

void assumeMachine(std::optional<Machine> machine)
{
    const std::lock_guard lock(machineMutex);
    assumed = machine;
}

Estimate estimate(const ProtectedContainer::DerivationCost& cost)
{
    const Machine here = machine();
    Estimate result;
    result.memoryMiB = cost.memoryKiB / 1024;
    result.seconds = here.secondsPerPassMiB * double(cost.passes) * double(cost.memoryKiB) / 1024;
    // An unknown amount of memory refuses nothing: the derivation then fails
    // on its own if the memory is not there.
    if (here.physicalMemoryBytes > 0 && quint64(cost.memoryKiB) * 1024 > here.physicalMemoryBytes / 2)
        result.verdict = Verdict::BeyondMemory;
    else if (result.seconds > SlowSeconds)
        result.verdict = Verdict::Slow;
    return result;
}

} // namespace DerivationBudget
