#include "document/OneTimeCode.h"

#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QUrl>
#include <QUrlQuery>

#include <sodium.h>

#include <array>

namespace {

const QString UriPrefix = QStringLiteral("otpauth://totp/");
constexpr int MinDigits = 6;
constexpr int MaxDigits = 8;
// A day: longer periods are no one-time codes any more.
constexpr int MaxPeriod = 86400;
// 80 bits, the shortest secret sites hand out; shorter Base32 text is more
// likely a word than a seed.
constexpr int MinSecretBytes = 10;
const char SteamAlphabet[] = "23456789BCDFGHJKMNPQRTVWXY";
constexpr int SteamAlphabetSize = sizeof(SteamAlphabet) - 1;

// RFC 4648 Base32; spaces, hyphens and the padding are ignored, case too.
std::optional<QByteArray> decodeBase32(const QString& text)
{
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('='))
            continue;
        const char16_t letter = c.toUpper().unicode();
        int value = 0;
        if (letter >= u'A' && letter <= u'Z')
            value = letter - u'A';
        else if (letter >= u'2' && letter <= u'7')
            value = letter - u'2' + 26;
        else
            return std::nullopt;
        buffer = (buffer << 5) | quint32(value);
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            bytes.append(char((buffer >> bits) & 0xFF));
        }
    }
    if (bytes.size() < MinSecretBytes)
        return std::nullopt;
    return bytes;
}

std::optional<OneTimeCode::Algorithm> algorithmNamed(const QString& name)
{
    const QString upper = name.toUpper().remove(QLatin1Char('-'));
    if (upper.isEmpty() || upper == QLatin1String("SHA1"))
        return OneTimeCode::Algorithm::Sha1;
    if (upper == QLatin1String("SHA256"))
        return OneTimeCode::Algorithm::Sha256;
    if (upper == QLatin1String("SHA512"))
        return OneTimeCode::Algorithm::Sha512;
    return std::nullopt;
}

// A whole number within [low, high], or fallback when the value is absent.
std::optional<int> numberIn(const QUrlQuery& query, const QString& key, int fallback, int low, int high)
{
    if (!query.hasQueryItem(key))
        return fallback;
    bool number = false;
    const int value = query.queryItemValue(key).toInt(&number);
    if (!number || value < low || value > high)
        return std::nullopt;
    return value;
}

template <std::size_t Size, typename State>
QByteArray
sodiumHmac(const QByteArray& key, const QByteArray& message, int (*init)(State*, const unsigned char*, size_t),
           int (*update)(State*, const unsigned char*, unsigned long long), int (*final)(State*, unsigned char*))
{
    State state;
    std::array<unsigned char, Size> digest{};
    init(&state, reinterpret_cast<const unsigned char*>(key.constData()), std::size_t(key.size()));
    update(&state, reinterpret_cast<const unsigned char*>(message.constData()), quint64(message.size()));
    final(&state, digest.data());
    sodium_memzero(&state, sizeof state);
    return QByteArray(reinterpret_cast<const char*>(digest.data()), qsizetype(digest.size()));
}

} // namespace

OneTimeCode::OneTimeCode(QByteArray key, Algorithm algorithm, int digits, int period, bool steam)
    : m_key(std::move(key))
    , m_algorithm(algorithm)
    , m_digits(digits)
    , m_period(period)
    , m_steam(steam)
{
}

bool OneTimeCode::looksLikeUri(const QString& text)
{
    return text.trimmed().startsWith(UriPrefix, Qt::CaseInsensitive);
}

std::optional<OneTimeCode> OneTimeCode::fromText(const QString& text)
{
    return looksLikeUri(text) ? fromUri(text) : fromBase32Secret(text);
}

std::optional<OneTimeCode> OneTimeCode::fromBase32Secret(const QString& secret)
{
    std::optional<QByteArray> key = decodeBase32(secret.trimmed());
    if (!key)
        return std::nullopt;
    return OneTimeCode(std::move(*key), Algorithm::Sha1, DefaultDigits, DefaultPeriod, false);
}

std::optional<OneTimeCode> OneTimeCode::fromUri(const QString& uri)
{
    if (!looksLikeUri(uri))
        return std::nullopt;
    const QUrlQuery query(QUrl(uri.trimmed()));
    std::optional<QByteArray> key = decodeBase32(query.queryItemValue(QStringLiteral("secret"), QUrl::FullyDecoded));
    const std::optional<Algorithm> algorithm = algorithmNamed(query.queryItemValue(QStringLiteral("algorithm")));
    const bool steam =
        query.queryItemValue(QStringLiteral("encoder")).compare(QLatin1String("steam"), Qt::CaseInsensitive) == 0;
    // Steam's codes have five characters whatever digits says.
    const std::optional<int> digits =
        steam ? SteamDigits : numberIn(query, QStringLiteral("digits"), DefaultDigits, MinDigits, MaxDigits);
    const std::optional<int> period = numberIn(query, QStringLiteral("period"), DefaultPeriod, 1, MaxPeriod);
    if (!key || !algorithm || !digits || !period)
        return std::nullopt;
    return OneTimeCode(std::move(*key), *algorithm, *digits, *period, steam);
}

QString OneTimeCode::storedForm(const QString& text, const QString& label)
{
    if (looksLikeUri(text))
        return text.trimmed();
    QString secret = text.toUpper();
    secret.remove(QLatin1Char(' ')).remove(QLatin1Char('-')).remove(QLatin1Char('='));
    return UriPrefix + QString::fromLatin1(QUrl::toPercentEncoding(label)) + QStringLiteral("?secret=") + secret;
}

QByteArray OneTimeCode::hmac(const QByteArray& message) const
{
    switch (m_algorithm) {
    case Algorithm::Sha256:
        return sodiumHmac<crypto_auth_hmacsha256_BYTES>(m_key, message, &crypto_auth_hmacsha256_init,
                                                        &crypto_auth_hmacsha256_update, &crypto_auth_hmacsha256_final);
    case Algorithm::Sha512:
        return sodiumHmac<crypto_auth_hmacsha512_BYTES>(m_key, message, &crypto_auth_hmacsha512_init,
                                                        &crypto_auth_hmacsha512_update, &crypto_auth_hmacsha512_final);
    case Algorithm::Sha1: break;
    }
    return QMessageAuthenticationCode::hash(message, m_key, QCryptographicHash::Sha1);
}

QString OneTimeCode::codeAt(qint64 unixSeconds) const
{
    // RFC 4226: the counter big-endian, then dynamic truncation to 31 bits.
    quint64 counter = quint64(unixSeconds / m_period);
    QByteArray message(8, '\0');
    for (int i = 7; i >= 0; --i, counter >>= 8)
        message[i] = char(counter & 0xFF);
    const QByteArray digest = hmac(message);
    const int offset = digest.back() & 0x0F;
    quint32 value = (quint32(quint8(digest[offset]) & 0x7F) << 24) | (quint32(quint8(digest[offset + 1])) << 16)
                    | (quint32(quint8(digest[offset + 2])) << 8) | quint32(quint8(digest[offset + 3]));
    QString code;
    if (m_steam) {
        for (int i = 0; i < SteamDigits; ++i, value /= SteamAlphabetSize)
            code.append(QLatin1Char(SteamAlphabet[value % SteamAlphabetSize]));
        return code;
    }
    quint32 modulus = 1;
    for (int i = 0; i < m_digits; ++i)
        modulus *= 10;
    return QStringLiteral("%1").arg(value % modulus, m_digits, 10, QLatin1Char('0'));
}

int OneTimeCode::secondsLeftAt(qint64 unixSeconds) const
{
    return m_period - int(unixSeconds % m_period);
}

UnixClock systemUnixClock()
{
    return [] { return QDateTime::currentSecsSinceEpoch(); };
}
