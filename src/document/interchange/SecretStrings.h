#pragma once

#include <QString>

// Which strings of an exchanged entry are secrets: those the editor hides by
// their name, one-time-code seeds, and those the source marks secret.
namespace SecretStrings {

// The name one-time-code seeds are imported and exported under.
extern const QString OneTimeCodeName;

// A seed by its name in any common export ("otp", "TOTP", "login_totp",
// "OTPAuth", ...), or by a value that is an otpauth:// address.
bool isOneTimeCode(const QString& name, const QString& value);

// A seed by its value alone: an otpauth:// address.
bool isOneTimeCodeValue(const QString& value);

// Whether an export marks the string protected: a secret by its name, or a
// one-time-code seed. The same as isSecret(name, {}) || isOneTimeCodeValue(value).
bool isSecret(const QString& name, const QString& value);

// The name under which a value the source marks secret is imported: name
// itself where the editor hides a field of that name, else name with
// " (secret)" added, which it does hide. A data file holds no mark of its
// own for a secret field, so the name carries it.
QString hiddenName(const QString& name);

} // namespace SecretStrings
