#include "datafile/DerivationCalibration.h"

#include <algorithm>
#include <cmath>

namespace DerivationCalibration {

std::chrono::nanoseconds steadyNow()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

std::optional<ProtectedContainer::DerivationCost> calibrate(ProtectedContainer::DeriveKey derive, const Clock& now)
{
    using Cost = ProtectedContainer::DerivationCost;
    Cost cost;
    ProtectedContainer::Salt salt{};
    ProtectedContainer::Key key{};
    // Several passes rather than one, so that setting up the memory weighs
    // less in the time a pass is reckoned to take.
    const std::chrono::nanoseconds start = now();
    if (!derive(QStringLiteral("calibration"), salt, cost, key))
        return std::nullopt;
    const std::chrono::duration<double> perPass = (now() - start) / double(cost.passes);
    const double fitting =
        perPass.count() > 0 ? std::round(std::chrono::duration<double>(Target) / perPass) : double(Cost::MaxPasses);
    cost.passes = std::uint32_t(std::clamp(fitting, double(FewestPasses), double(Cost::MaxPasses)));
    return cost;
}

} // namespace DerivationCalibration
