#include "base/ProtectedContainer.h"

#include "base/SecureWipe.h"

#include <QtEndian>

#include <sodium.h>

#include <algorithm>

namespace ProtectedContainer {
namespace {

constexpr int VersionOffset = 8;
constexpr int DerivationOffset = 9;
constexpr int PassesOffset = 10;
constexpr int MemoryOffset = 14;
constexpr int SaltOffset = 18;
constexpr int NonceOffset = 34;
static_assert(NonceOffset + NonceSize == HeaderSize);
static_assert(crypto_pwhash_SALTBYTES == SaltSize);
static_assert(crypto_aead_xchacha20poly1305_ietf_NPUBBYTES == NonceSize);
static_assert(crypto_aead_xchacha20poly1305_ietf_ABYTES == TagSize);
static_assert(crypto_aead_xchacha20poly1305_ietf_KEYBYTES == KeySize);

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

const unsigned char* bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char*>(view.data());
}

// The key, wiped and unlocked from memory when it goes.
class ScopedKey {
public:
    ScopedKey() { sodium_mlock(m_key.data(), m_key.size()); }
    ~ScopedKey() { sodium_munlock(m_key.data(), m_key.size()); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    Key& operator*() { return m_key; }

private:
    Key m_key{};
};

QByteArray headerBytes(const DerivationCost& cost, const Salt& salt, const std::array<std::uint8_t, NonceSize>& nonce)
{
    QByteArray header(HeaderSize, '\0');
    std::copy(Magic.begin(), Magic.end(), header.begin());
    header[VersionOffset] = char(FormatVersion);
    header[DerivationOffset] = char(DerivationArgon2id13);
    qToLittleEndian<quint32>(cost.passes, header.data() + PassesOffset);
    qToLittleEndian<quint32>(cost.memoryKiB, header.data() + MemoryOffset);
    std::copy(salt.begin(), salt.end(), header.begin() + SaltOffset);
    std::copy(nonce.begin(), nonce.end(), header.begin() + NonceOffset);
    return header;
}

} // namespace

bool DerivationCost::withinLimits() const
{
    return passes >= MinPasses && passes <= MaxPasses && memoryKiB >= MinMemoryKiB && memoryKiB <= MaxMemoryKiB;
}

bool passwordFits(const QString& password)
{
    qsizetype codePoints = 0;
    for (const QChar character : password)
        codePoints += character.isLowSurrogate() ? 0 : 1;
    return codePoints >= 1 && codePoints <= MaxPasswordLength;
}

namespace {

// A fixed-size digest of the password the derivation would see, so that
// passwords of any length compare in the same time.
std::array<unsigned char, crypto_generichash_BYTES> passwordDigest(const QString& password)
{
    QString normalised = password.normalized(QString::NormalizationForm_C);
    QByteArray utf8 = normalised.toUtf8();
    std::array<unsigned char, crypto_generichash_BYTES> digest{};
    crypto_generichash(digest.data(), digest.size(), bytes(utf8), std::size_t(utf8.size()), nullptr, 0);
    SecureWipe::wipe(utf8);
    SecureWipe::wipe(normalised);
    return digest;
}

} // namespace

bool samePassword(const QString& a, const QString& b)
{
    if (!sodiumReady())
        return false;
    auto digestA = passwordDigest(a);
    auto digestB = passwordDigest(b);
    const bool same = sodium_memcmp(digestA.data(), digestB.data(), digestA.size()) == 0;
    sodium_memzero(digestA.data(), digestA.size());
    sodium_memzero(digestB.data(), digestB.size());
    return same;
}

bool deriveArgon2id(const QString& password, const Salt& salt, const DerivationCost& cost, Key& key)
{
    if (!sodiumReady())
        return false;
    QString normalised = password.normalized(QString::NormalizationForm_C);
    QByteArray utf8 = normalised.toUtf8();
    const int result = crypto_pwhash(key.data(), key.size(), utf8.constData(), std::size_t(utf8.size()), salt.data(),
                                     cost.passes, std::size_t(cost.memoryKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13);
    // The derivation's last hash leaves the key in a buffer of its own frame.
    SecureWipe::wipeStack();
    SecureWipe::wipe(utf8);
    SecureWipe::wipe(normalised);
    return result == 0;
}

bool isProtected(QByteArrayView fileBytes)
{
    return fileBytes.startsWith(Magic);
}

Status readHeader(QByteArrayView fileBytes, Header& header)
{
    if (!isProtected(fileBytes))
        return Status::NotProtected;
    // A later version may lay out the rest differently: its number is all that is read of it.
    if (fileBytes.size() <= DerivationOffset)
        return Status::Damaged;
    header.version = std::uint8_t(fileBytes[VersionOffset]);
    header.derivation = std::uint8_t(fileBytes[DerivationOffset]);
    if (header.version != FormatVersion)
        return Status::UnknownVersion;
    if (header.derivation != DerivationArgon2id13)
        return Status::UnknownDerivation;
    if (fileBytes.size() < HeaderSize + TagSize)
        return Status::Damaged;
    header.cost.passes = qFromLittleEndian<quint32>(fileBytes.data() + PassesOffset);
    header.cost.memoryKiB = qFromLittleEndian<quint32>(fileBytes.data() + MemoryOffset);
    if (!header.cost.withinLimits())
        return Status::CostOutOfRange;
    return Status::Ok;
}

Status seal(const QByteArray& documentText, const QString& password, const DerivationCost& cost, QByteArray& file,
            DeriveKey derive)
{
    if (!passwordFits(password))
        return Status::UnusablePassword;
    if (!cost.withinLimits())
        return Status::CostOutOfRange;
    if (!sodiumReady())
        return Status::OutOfMemory;
    Salt salt;
    std::array<std::uint8_t, NonceSize> nonce;
    randombytes_buf(salt.data(), salt.size());
    randombytes_buf(nonce.data(), nonce.size());
    ScopedKey key;
    if (!derive(password, salt, cost, *key))
        return Status::OutOfMemory;
    QByteArray sealed = headerBytes(cost, salt, nonce);
    sealed.resize(HeaderSize + documentText.size() + TagSize);
    unsigned long long cipherLength = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(sealed.data()) + HeaderSize,
                                               &cipherLength, bytes(documentText), std::size_t(documentText.size()),
                                               bytes(sealed), HeaderSize, nullptr, nonce.data(), (*key).data());
    // The cipher's key setup leaves the key in a frame of its own, too.
    SecureWipe::wipeStack();
    file = std::move(sealed);
    return Status::Ok;
}

Status open(QByteArrayView file, const QString& password, QByteArray& documentText, DeriveKey derive)
{
    QByteArray text = file.toByteArray();
    const Status status = openInPlace(text, password, derive);
    if (status == Status::Ok)
        documentText = std::move(text);
    return status;
}

Status openInPlace(QByteArray& file, const QString& password, DeriveKey derive)
{
    Header header;
    if (const Status status = readHeader(file, header); status != Status::Ok)
        return status;
    if (!passwordFits(password))
        return Status::UnusablePassword;
    Salt salt;
    std::copy_n(bytes(file) + SaltOffset, SaltSize, salt.begin());
    ScopedKey key;
    if (!derive(password, salt, header.cost, *key))
        return Status::OutOfMemory;
    // The cipher checks the tag before it writes any text, so the text may
    // take the place of the enciphered bytes; the header before it is read
    // as it is.
    auto* cipher = reinterpret_cast<unsigned char*>(file.data()) + HeaderSize;
    unsigned long long textLength = 0;
    const bool authentic = crypto_aead_xchacha20poly1305_ietf_decrypt(
                               cipher, &textLength, nullptr, cipher, std::size_t(file.size() - HeaderSize), bytes(file),
                               HeaderSize, bytes(file) + NonceOffset, (*key).data())
                           == 0;
    SecureWipe::wipeStack();
    if (!authentic)
        return Status::WrongPasswordOrDamaged;
    // Dropping the header from the front moves no bytes.
    file.truncate(HeaderSize + qsizetype(textLength));
    file.remove(0, HeaderSize);
    return Status::Ok;
}

} // namespace ProtectedContainer
