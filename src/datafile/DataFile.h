#pragma once

#include "base/ProtectedContainer.h"
#include "document/DataDocument.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// The data file: the ten-byte magic in clear, then the body, which is
// DataFileDeclaration followed by the document text, enciphered with RC4 under
// a 16-byte key made from the password. No length, checksum or trailer.
//
// Beside it, the protected file (ProtectedContainer) seals the same body
// under a derived key with an authentication tag. Reading recognises either
// by its magic, whatever the file's name; writing takes a Sealing.
namespace DataFile {

inline constexpr QByteArrayView Magic = "QM20060718";
inline constexpr QByteArrayView DataFileDeclaration = R"(<?xml version="1.0" standalone = "yes" ?>)";
inline constexpr int KeyLength = 16;
inline constexpr int MaxPasswordLength = 16;
// Far beyond any real data file (100,000 records take about 30 MB); a larger
// file is refused before it is read, so no file can exhaust the memory.
inline constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

using FileKey = std::array<std::uint8_t, KeyLength>;

// The password's characters, one byte each in the code page of older files
// (TextEncoding), then zero bytes up to 16: a file written under Windows with
// another ANSI code page opens once that code page is chosen. nullopt when a
// character has no byte there or the password is empty or longer than 16
// characters: such a password is refused, never cut.
std::optional<FileKey> MakeFileKey(const QString& password);

// The file key of a password, wiped when it goes out of scope.
class ScopedKey {
public:
    explicit ScopedKey(const QString& password);
    ~ScopedKey();
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    explicit operator bool() const { return m_key.has_value(); }
    const FileKey& operator*() const { return *m_key; }

private:
    std::optional<FileKey> m_key;
};

// The complete file bytes for a document text.
QByteArray seal(const QByteArray& documentText, const FileKey& key);

enum class Format {
    Plain,     // .zv: RC4 under the password itself
    Protected, // .zvx: Argon2id and XChaCha20-Poly1305
};

// How a file is written: its format and, for a protected file, the cost of
// deriving its key.
struct Sealing {
    Format format = Format::Plain;
    ProtectedContainer::DerivationCost cost;
};

// How the file at path is sealed, by its first bytes: Plain for anything not
// protected; for a protected file, the cost its header names (the defaults
// when that cannot be read), so that writing it again keeps both.
Sealing sealingOf(const QString& path);
// The format a new file's name asks for: Protected for the .zvx extension.
Format formatNamed(const QString& path);
// Whether password can seal a file of format: 1 to 16 characters of the code
// page of older files for Plain, 1 to 1,024 of any kind for Protected.
bool passwordFits(const QString& password, Format format);

// Whether typed stands for the same password as own in a file of format: for
// Plain, whether their keys are equal; for Protected, whether they are the
// same text once normalised. In constant time, so the time taken tells
// nothing of how much of a guess was right.
bool samePassword(const QString& typed, const QString& own, Format format);

enum class Status {
    Ok,
    InvalidPassword, // empty, too long, or (.zv) a character outside the code page of older files
    CannotRead,      // the file cannot be opened or read, or is not a regular file
    TooLarge,        // larger than MaxFileSize: refused unread
    IncorrectFormat, // the magic is missing
    CannotOpen,      // the body does not decipher to a data document: wrong password or damage
    NewerFormat,     // a protected file of a later version or key derivation
    CannotWrite,
    AlreadyExists,          // create: the name is taken, by a link or a folder too
    DerivationSlow,         // a protected file whose key would take over DerivationBudget::SlowSeconds to derive
    DerivationBeyondMemory, // a protected file whose key would take more memory than the machine can give
};

// Whether reading goes on with a protected file whose key is slow to derive
// (DerivationBudget); one beyond the machine's memory is refused either way.
enum class SlowDerivation { Refuse, Allow };

// The document text deciphered from the file bytes; nullopt with IncorrectFormat
// when the magic is missing. The text is not checked here. The caller owns the
// plaintext and wipes it when done (SecureWipe).
std::optional<QByteArray> unseal(const QByteArray& fileBytes, const FileKey& key);

// Reads and deciphers path, in either format, into document. On any failure
// document is unchanged. A protected file whose derivation cost is beyond
// the limits is an IncorrectFormat, refused before any derivation, and so is
// one that DerivationBudget judges too costly here, unless slow allows it.
// The deciphered text and the key are wiped once the document is parsed.
Status read(const QString& path, const QString& password, DataDocument& document, QString* detail = nullptr,
            SlowDerivation slow = SlowDerivation::Refuse);

// Why a save failed, with the file or folder concerned, so that the user can
// be told what to do about it.
struct SaveFailure {
    enum class Reason {
        System,             // systemReason says why
        BackupSlotNotAFile, // path: a backup name held by a link, a folder or the like
        FolderNotWritable,  // path: the data file's folder, which forbids new files
                            // although the file itself may be written
    };
    Reason reason = Reason::System;
    QString path;
    QString systemReason;

    // In English, for the command line.
    QString describe() const;
};

// Writes document to path under password, atomically: on failure the previous
// file is untouched. Once written, what killed saves left beside the file goes
// (SaveLeftovers): the caller holds the file's lock.
Status write(const QString& path, const QString& password, const DataDocument& document, QString* detail = nullptr,
             const Sealing& sealing = {});

// Writes document to a new file at path under password. Nothing at path is
// ever replaced or written through, not even a dangling link, also when it
// appeared while the file was being written.
Status create(const QString& path, const QString& password, const DataDocument& document, QString* detail = nullptr,
              const Sealing& sealing = {});

// Appends a whole document's text to the buffer a file is written from.
using TextWriter = std::function<void(QByteArray&)>;
// The same for a text that is written straight into the file, such as an
// import's, with no document made of it first.
Status create(const QString& path, const QString& password, const TextWriter& writeText, QString* detail = nullptr,
              const Sealing& sealing = {});

// The same as write, moving the previous file aside as a backup first when backups is
// on. The new content is complete on disk before the previous file is touched,
// so a failed write leaves the file and every backup as they were.
Status save(const QString& path, const QString& password, const DataDocument& document, bool backups,
            QString* detail = nullptr, const Sealing& sealing = {});
// The same, saying why it failed as a SaveFailure.
Status save(const QString& path, const QString& password, const DataDocument& document, bool backups,
            SaveFailure& failure, const Sealing& sealing = {});

// True when password deciphers the file at path into a data document. The
// magic is not compared: this tests the password, not the format.
bool checkPassword(const QString& path, const QString& password);

} // namespace DataFile
