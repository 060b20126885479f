#pragma once

#include "datafile/PasswordGenerator.h"

class SettingsStore;

// The password generator's last choices in the settings list. Absent or
// unusable values give the defaults: 20 characters from all four groups.
namespace GeneratorSettings {

// The stored choices, with the length a purpose fixes in place of the stored one.
PasswordGenerator::Rules storedRules(const SettingsStore& settings, PasswordGenerator::Purpose purpose);
// The length is stored only when the purpose lets the user choose it.
void storeRules(SettingsStore& settings, const PasswordGenerator::Rules& rules, PasswordGenerator::Purpose purpose);

} // namespace GeneratorSettings
