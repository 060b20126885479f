#include "document/interchange/SecretStrings.h"

#include "document/FieldRoles.h"

#include <QStringList>

namespace SecretStrings {

const QString OneTimeCodeName = QStringLiteral("otp");

namespace {

// Seed names found only in exports, besides those a field of ours may have.
const QStringList ExportedSeedNames{"otpUrl", "one-time password", "TFC:Keeper", "TOTP KEY"};

} // namespace

bool isOneTimeCode(const QString& name, const QString& value)
{
    return FieldRoles::isSeedName(name) || ExportedSeedNames.contains(name.trimmed(), Qt::CaseInsensitive)
           || isOneTimeCodeValue(value);
}

bool isOneTimeCodeValue(const QString& value)
{
    return value.startsWith(QLatin1String("otpauth://"), Qt::CaseInsensitive);
}

bool isSecret(const QString& name, const QString& value)
{
    return FieldRoles::isSecretFieldName(name) || isOneTimeCode(name, value);
}

QString hiddenName(const QString& name)
{
    return FieldRoles::isSecretFieldName(name) || isOneTimeCode(name, {}) ? name : name + QStringLiteral(" (secret)");
}

} // namespace SecretStrings
