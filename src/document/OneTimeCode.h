#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// A time-based one-time code generator (RFC 6238 over RFC 4226's HOTP), read
// from an otpauth://totp/ URI or a bare Base32 secret: SHA-1, SHA-256 or
// SHA-512, 6 to 8 digits, any period, and Steam's 5-character codes
// (encoder=steam). The time is always handed in, so callers choose the clock.
class OneTimeCode {
public:
    enum class Algorithm { Sha1, Sha256, Sha512 };

    static constexpr int DefaultPeriod = 30;
    static constexpr int DefaultDigits = 6;
    static constexpr int SteamDigits = 5;

    // A URI or a Base32 secret (spaces and padding allowed, any case);
    // nullopt for anything else, or for settings out of range.
    static std::optional<OneTimeCode> fromText(const QString& text);
    static std::optional<OneTimeCode> fromUri(const QString& uri);
    static std::optional<OneTimeCode> fromBase32Secret(const QString& secret);
    // Whether text reads as a URI of this kind, valid or not.
    static bool looksLikeUri(const QString& text);

    // The code for the moment unixSeconds.
    QString codeAt(qint64 unixSeconds) const;
    // Seconds until the code of unixSeconds changes: 1 to period().
    int secondsLeftAt(qint64 unixSeconds) const;
    int period() const { return m_period; }

    // text as it is stored in a field: a URI stays as given, a bare secret
    // becomes a URI labelled label with the default settings.
    static QString storedForm(const QString& text, const QString& label);

private:
    OneTimeCode(QByteArray key, Algorithm algorithm, int digits, int period, bool steam);
    QByteArray hmac(const QByteArray& message) const;

    QByteArray m_key;
    Algorithm m_algorithm;
    int m_digits;
    int m_period;
    bool m_steam;
};

// Seconds since 1970 in UTC: the real clock, or a test's.
using UnixClock = std::function<qint64()>;
UnixClock systemUnixClock();
