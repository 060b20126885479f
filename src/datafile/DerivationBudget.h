#pragma once

#include "base/ProtectedContainer.h"

#include <QtGlobal>

#include <optional>

// What deriving a protected file's key would cost this machine, judged from
// the header before anything is derived: a header may ask for minutes of
// work and more memory than the machine has, and the derivation cannot be
// stopped once it runs.
namespace DerivationBudget {

// Longer than this, and the user is asked first (the command line wants
// --allow-slow-kdf).
inline constexpr double SlowSeconds = 10;

enum class Verdict {
    Affordable,
    Slow,         // estimated over SlowSeconds
    BeyondMemory, // more than half of the machine's physical memory: never derived
};

struct Estimate {
    Verdict verdict = Verdict::Affordable;
    double seconds = 0;
    quint64 memoryMiB = 0;
};

Estimate estimate(const ProtectedContainer::DerivationCost& cost);

// What the estimate rests on: the time one pass over one MiB takes here,
// measured once per process with a short derivation, and the physical memory.
struct Machine {
    double secondsPerPassMiB = 0;
    quint64 physicalMemoryBytes = 0;
};
// Puts another machine's figures in place of the measured ones (tests), or
// with nullopt the measured ones back.
void assumeMachine(std::optional<Machine> machine);

} // namespace DerivationBudget
