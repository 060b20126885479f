#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

// The protected file: a 58-byte header in clear (magic, version, key
// derivation and its parameters, salt, nonce), then the document text sealed
// with XChaCha20-Poly1305 under a key that Argon2id derives from the
// password. The header is the additional authenticated data, so no byte of
// the file can change unnoticed. The document text is exactly what a .zv
// file enciphers.
namespace ProtectedContainer {

inline constexpr QByteArrayView Magic = "ZANTROVX";
inline constexpr std::uint8_t FormatVersion = 1;
inline constexpr std::uint8_t DerivationArgon2id13 = 1;
inline constexpr int SaltSize = 16;
inline constexpr int NonceSize = 24;
inline constexpr int TagSize = 16;
inline constexpr int HeaderSize = 58;
inline constexpr int KeySize = 32;
inline constexpr int MaxPasswordLength = 1024; // characters (code points)

struct DerivationCost {
    std::uint32_t passes = 3;
    std::uint32_t memoryKiB = 256 * 1024;

    // A reader derives nothing outside these, so a hostile header cannot
    // occupy the machine for minutes or take all its memory.
    static constexpr std::uint32_t MinPasses = 1;
    static constexpr std::uint32_t MaxPasses = 64;
    static constexpr std::uint32_t MinMemoryKiB = 8 * 1024;
    static constexpr std::uint32_t MaxMemoryKiB = 4 * 1024 * 1024;
    bool withinLimits() const;
    bool operator==(const DerivationCost&) const = default;
};

using Key = std::array<std::uint8_t, KeySize>;
using Salt = std::array<std::uint8_t, SaltSize>;

// The key for a password; false when the machine cannot give the memory.
// A parameter, so the fuzz target can put a cheap function in its place.
using DeriveKey = bool (*)(const QString& password, const Salt& salt, const DerivationCost& cost, Key& key);
bool deriveArgon2id(const QString& password, const Salt& salt, const DerivationCost& cost, Key& key);

enum class Status {
    Ok,
    NotProtected,           // no magic: not a protected file
    UnknownVersion,         // a later format version
    UnknownDerivation,      // a key derivation this program does not know
    CostOutOfRange,         // derivation parameters outside DerivationCost's limits
    Damaged,                // too short for a header and a tag
    WrongPasswordOrDamaged, // the tag does not match: the two cannot be told apart
    UnusablePassword,       // empty or over MaxPasswordLength characters
    OutOfMemory,            // the derivation could not get its memory
};

// What a header says, read without the password.
struct Header {
    std::uint8_t version = 0;
    std::uint8_t derivation = 0;
    DerivationCost cost;
};

bool isProtected(QByteArrayView fileBytes);
// The header of fileBytes; Ok, NotProtected, UnknownVersion, UnknownDerivation,
// CostOutOfRange or Damaged.
Status readHeader(QByteArrayView fileBytes, Header& header);

bool passwordFits(const QString& password);
// Whether a and b are the same password once normalised as the key
// derivation normalises them; in constant time.
bool samePassword(const QString& a, const QString& b);

// The complete file for documentText under password, with a fresh salt and nonce.
Status seal(const QByteArray& documentText, const QString& password, const DerivationCost& cost, QByteArray& file,
            DeriveKey derive = deriveArgon2id);
// The document text of file; documentText is only set on Ok. The caller
// wipes it when done.
Status open(QByteArrayView file, const QString& password, QByteArray& documentText, DeriveKey derive = deriveArgon2id);
// The same, deciphering in file's own bytes, which become the document text
// on Ok, so that the file and its text are never both held. Unless Ok, what
// file holds afterwards is undefined.
Status openInPlace(QByteArray& file, const QString& password, DeriveKey derive = deriveArgon2id);

} // namespace ProtectedContainer
