#pragma once

#include <QString>

// What a field stands for, told by its name alone, in every shipped language:
// a secret (shown as dots, copied with Ctrl+C from the tree) or the name the
// user logs in with (copied with Ctrl+B). Names are compared without case.
namespace FieldRoles {

bool isSecretFieldName(const QString& name);
// The secrets that are passwords, not PINs or card codes.
bool isPasswordFieldName(const QString& name);
bool isLoginFieldName(const QString& name);
// A name other keepers give a one-time code's seed ("otp", "TOTP", "login_totp", ...).
bool isSeedName(const QString& name);
// A field that makes one-time codes: its value is an otpauth://totp/ URI, or
// its name is one other keepers give a seed and its value a Base32 secret.
// Such a field is secret by its value alone.
bool isOneTimeCodeField(const QString& name, const QString& value);
// A field whose value is hidden until asked for: a secret by its name, or a
// one-time code's seed by its value.
bool isHiddenField(const QString& name, const QString& value);

} // namespace FieldRoles
