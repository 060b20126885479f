#include "document/FieldRoles.h"

#include "document/OneTimeCode.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// A name has a role when it is one of wholeNames, holds one of words as a
// word of its own ("Code PIN", "PIN-код", "Prüfnummer (CVV)") or holds one of
// fragments anywhere ("Online-Banking-Passwort", "Mot de passe en ligne").
struct RoleNames {
    QStringList wholeNames;
    QStringList words;
    QStringList fragments;
};

// The names other keepers give a one-time code's seed.
const QStringList SeedNames{"otp", "TOTP", "TOTP Seed", "OTPAuth", "otpSecret", "login_totp"};

// "Password" and "Online Password" hold the fragment "password".
const RoleNames PasswordNames{
    {},
    {},
    {"password", "passwort", "mot de passe", "пароль"},
};

// Secrets besides the passwords: PINs, card codes, one-time code seeds, and
// "Client secret" or what an import marks "(secret)". Other keepers export a
// card's code as "Security Code" or "Verification number", and Keeper a
// hidden custom field as "Hidden Field".
const RoleNames OtherSecretNames{
    SeedNames + QStringList{"Hidden Field"},
    {"PIN", "CVV", "CVC"},
    {"secret", "geheim", "секрет", "security code", "verification number", "Sicherheitscode", "Kartenprüfnummer",
     "code de sécurité", "код безопасности"},
};

const RoleNames LoginNames{
    {"E-Mail", "User name", "Эл. почта"},
    {"Login", "Username", "Benutzername", "Identifiant", "Логин"},
    {},
};

bool hasWord(const QString& name, const QString& word)
{
    static const QRegularExpression separators(QStringLiteral("\\W+"), QRegularExpression::UseUnicodePropertiesOption);
    const QStringList nameWords = name.split(separators, Qt::SkipEmptyParts);
    return nameWords.contains(word, Qt::CaseInsensitive);
}

bool hasRole(const QString& name, const RoleNames& role)
{
    const QString trimmed = name.trimmed();
    return role.wholeNames.contains(trimmed, Qt::CaseInsensitive)
           || std::any_of(role.words.cbegin(), role.words.cend(),
                          [&](const QString& word) { return hasWord(trimmed, word); })
           || std::any_of(role.fragments.cbegin(), role.fragments.cend(),
                          [&](const QString& fragment) { return trimmed.contains(fragment, Qt::CaseInsensitive); });
}

} // namespace

namespace FieldRoles {

bool isSecretFieldName(const QString& name)
{
    return isPasswordFieldName(name) || hasRole(name, OtherSecretNames);
}

bool isPasswordFieldName(const QString& name)
{
    return hasRole(name, PasswordNames);
}

bool isLoginFieldName(const QString& name)
{
    return hasRole(name, LoginNames);
}

bool isSeedName(const QString& name)
{
    return SeedNames.contains(name.trimmed(), Qt::CaseInsensitive);
}

bool isOneTimeCodeField(const QString& name, const QString& value)
{
    if (OneTimeCode::looksLikeUri(value))
        return true;
    return isSeedName(name) && OneTimeCode::fromBase32Secret(value);
}

bool isHiddenField(const QString& name, const QString& value)
{
    return isSecretFieldName(name) || isOneTimeCodeField(name, value);
}

} // namespace FieldRoles
