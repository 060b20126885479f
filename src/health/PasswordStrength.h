#pragma once

#include <QString>

// How many bits of guessing a password stands, as zxcvbn estimates it: it
// knows dictionary words, keyboard runs, dates, sequences and repeats, so
// "Password2024!" scores far below its length.
namespace PasswordStrength {

// Below this a password counts as weak.
inline constexpr double WeakBelowBits = 60.0;

double estimatedBits(const QString& password);

} // namespace PasswordStrength
