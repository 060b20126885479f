#pragma once

#include "base/ProtectedContainer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// The key derivation cost of new protected files, fitted to this machine as
// other password keepers fit theirs: as many passes over the default memory
// as take about a second, but never fewer than the default passes, so that
// a slow machine does not weaken its files.
namespace DerivationCalibration {

inline constexpr std::chrono::milliseconds Target{1000};
inline constexpr std::uint32_t FewestPasses = ProtectedContainer::DerivationCost().passes;

using Clock = std::function<std::chrono::nanoseconds()>;
std::chrono::nanoseconds steadyNow();

// Times one derivation at the default cost and scales its passes to Target;
// nullopt when the machine cannot give the memory.
std::optional<ProtectedContainer::DerivationCost>
calibrate(ProtectedContainer::DeriveKey derive = ProtectedContainer::deriveArgon2id, const Clock& now = steadyNow);

} // namespace DerivationCalibration
