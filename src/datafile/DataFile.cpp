#include "datafile/DataFile.h"

#include "base/FilledBuffer.h"
#include "base/SecureWipe.h"
#include "base/StagedFile.h"
#include "base/TextEncoding.h"
#include "datafile/Backups.h"
#include "datafile/DerivationBudget.h"
#include "datafile/RC4.h"
#include "datafile/SaveLeftovers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include <sodium.h>
#include <unistd.h>

namespace DataFile {

namespace {

void applyCipher(QByteArray& buffer, qsizetype from, const FileKey& key)
{
    RC4State state;
    RC4KeySchedule(state, key.data(), KeyLength);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data()) + from;
    RC4Apply(state, bytes, bytes, buffer.size() - from);
    // The permutation is derived from the key.
    SecureWipe::wipe(&state, sizeof state);
}

Status cannotRead(const QString& reason, QString* detail)
{
    if (detail)
        *detail = reason;
    return Status::CannotRead;
}

// The whole file. Only regular files are read: a device or a pipe may never
// end, and a pipe would not even open without a writer. A file larger than any
// data file is refused before anything is read.
Status readWholeFile(const QString& path, QByteArray& bytes, QString* detail)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return cannotRead(QStringLiteral("not a regular file"), detail);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(file.errorString(), detail);
    if (file.size() > MaxFileSize) {
        if (detail)
            *detail = QStringLiteral("larger than %1 bytes").arg(MaxFileSize);
        return Status::TooLarge;
    }
    // At most the size found now, should the file grow meanwhile.
    bytes = FilledBuffer::readFile(file, file.size());
    if (file.error() != QFileDevice::NoError)
        return cannotRead(file.errorString(), detail);
    return Status::Ok;
}

// Deciphers the body in place and drops the magic and the declaration; the
// declaration is never interpreted, only dropped.
void decipherBody(QByteArray& fileBytes, const FileKey& key)
{
    applyCipher(fileBytes, Magic.size(), key);
    const qsizetype skip = std::min<qsizetype>(fileBytes.size(), Magic.size() + DataFileDeclaration.size());
    fileBytes.remove(0, skip);
}

// Parses the deciphered body of fileBytes into document, which takes the
// buffer over: kept as its storage, or wiped when refused.
bool loadBody(QByteArray fileBytes, const FileKey& key, DataDocument& document, QString* detail)
{
    decipherBody(fileBytes, key);
    return document.loadText(std::move(fileBytes), detail);
}

// The magic and the declaration, with room for a body of bodySize bytes.
QByteArray containerStart(qsizetype bodySize)
{
    QByteArray bytes;
    bytes.reserve(Magic.size() + DataFileDeclaration.size() + bodySize);
    bytes.append(Magic).append(DataFileDeclaration);
    return bytes;
}

// A .zv body's cipher, applied to the file's bytes part by part, in order,
// as they are written: the same stream as one pass over them. The magic
// stays as it is.
class BodyCipher {
public:
    explicit BodyCipher(const FileKey& key) { RC4KeySchedule(m_state, key.data(), KeyLength); }
    // The permutation is derived from the key.
    ~BodyCipher() { SecureWipe::wipe(&m_state, sizeof m_state); }
    BodyCipher(const BodyCipher&) = delete;
    BodyCipher& operator=(const BodyCipher&) = delete;

    void apply(qsizetype offset, char* part, qsizetype size)
    {
        const qsizetype clear = std::clamp(Magic.size() - offset, qsizetype(0), size);
        auto* bytes = reinterpret_cast<std::uint8_t*>(part) + clear;
        RC4Apply(m_state, bytes, bytes, size - clear);
    }

private:
    RC4State m_state;
};

// The file's bytes for a document text, written in one buffer, the only
// copy of the document a save makes: complete, or (a .zv file) still to be
// enciphered by cipher as they are written.
struct SealedFile {
    QByteArray bytes;
    std::unique_ptr<BodyCipher> cipher;
};

// Writes sealed to the staged file; bytes left unenciphered by a failure are wiped.
bool writeSealed(StagedFile& staged, const QString& path, SealedFile& sealed)
{
    if (!sealed.cipher)
        return staged.write(path, sealed.bytes);
    if (staged.write(path, sealed.bytes, [&sealed](qsizetype offset, char* part, qsizetype size) {
            sealed.cipher->apply(offset, part, size);
        }))
        return true;
    SecureWipe::wipe(sealed.bytes);
    return false;
}

// The declaration is never interpreted, only dropped; the document takes the
// buffer over as its storage, or wipes it when refused.
bool loadPlaintext(QByteArray text, DataDocument& document, QString* detail)
{
    text.remove(0, std::min<qsizetype>(text.size(), DataFileDeclaration.size()));
    return document.loadText(std::move(text), detail);
}

// Whether the key of a protected file may be derived here; a header that
// cannot be read is for ProtectedContainer::open to refuse.
Status affordable(QByteArrayView fileBytes, SlowDerivation slow)
{
    ProtectedContainer::Header header;
    if (ProtectedContainer::readHeader(fileBytes, header) != ProtectedContainer::Status::Ok)
        return Status::Ok;
    switch (DerivationBudget::estimate(header.cost).verdict) {
    case DerivationBudget::Verdict::BeyondMemory: return Status::DerivationBeyondMemory;
    case DerivationBudget::Verdict::Slow: return slow == SlowDerivation::Allow ? Status::Ok : Status::DerivationSlow;
    case DerivationBudget::Verdict::Affordable: break;
    }
    return Status::Ok;
}

// Takes the file's bytes over and deciphers them in place.
Status readProtected(QByteArray fileBytes, const QString& password, DataDocument& document, QString* detail,
                     SlowDerivation slow)
{
    if (const DataFile::Status cost = affordable(fileBytes, slow); cost != DataFile::Status::Ok)
        return cost;
    using ProtectedContainer::Status;
    switch (ProtectedContainer::openInPlace(fileBytes, password)) {
    case Status::Ok:
        return loadPlaintext(std::move(fileBytes), document, detail) ? DataFile::Status::Ok
                                                                     : DataFile::Status::CannotOpen;
    case Status::UnknownVersion:
    case Status::UnknownDerivation: return DataFile::Status::NewerFormat;
    case Status::NotProtected:
    case Status::CostOutOfRange: return DataFile::Status::IncorrectFormat;
    case Status::UnusablePassword: return DataFile::Status::InvalidPassword;
    case Status::OutOfMemory: return cannotRead(QStringLiteral("not enough memory to derive the key"), detail);
    case Status::Damaged:
    case Status::WrongPasswordOrDamaged: break;
    }
    return DataFile::Status::CannotOpen;
}

TextWriter textOf(const DataDocument& document)
{
    return [&document](QByteArray& out) { document.appendText(out); };
}

// The file for a document text under sealing.
Status sealFile(const TextWriter& writeText, const QString& password, const Sealing& sealing, SealedFile& sealed,
                QString* detail)
{
    if (sealing.format == Format::Plain) {
        const ScopedKey key(password);
        if (!key)
            return Status::InvalidPassword;
        sealed.bytes = containerStart(0);
        writeText(sealed.bytes);
        sealed.cipher = std::make_unique<BodyCipher>(*key);
        return Status::Ok;
    }
    QByteArray text(DataFileDeclaration.toByteArray());
    writeText(text);
    const ProtectedContainer::Status status = ProtectedContainer::seal(text, password, sealing.cost, sealed.bytes);
    SecureWipe::wipe(text);
    switch (status) {
    case ProtectedContainer::Status::Ok: return Status::Ok;
    case ProtectedContainer::Status::UnusablePassword: return Status::InvalidPassword;
    default:
        if (detail)
            *detail = QStringLiteral("the key could not be derived");
        return Status::CannotWrite;
    }
}

} // namespace

Sealing sealingOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(ProtectedContainer::HeaderSize + ProtectedContainer::TagSize);
    if (!ProtectedContainer::isProtected(start))
        return {};
    Sealing sealing{Format::Protected, {}};
    ProtectedContainer::Header header;
    if (ProtectedContainer::readHeader(start, header) == ProtectedContainer::Status::Ok)
        sealing.cost = header.cost;
    return sealing;
}

Format formatNamed(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("zvx"), Qt::CaseInsensitive) == 0 ? Format::Protected
                                                                                            : Format::Plain;
}

bool passwordFits(const QString& password, Format format)
{
    if (format == Format::Protected)
        return ProtectedContainer::passwordFits(password);
    return static_cast<bool>(ScopedKey(password));
}

bool samePassword(const QString& typed, const QString& own, Format format)
{
    if (format == Format::Protected)
        return ProtectedContainer::samePassword(typed, own);
    const ScopedKey typedKey(typed);
    const ScopedKey ownKey(own);
    return typedKey && ownKey && sodium_memcmp((*typedKey).data(), (*ownKey).data(), KeyLength) == 0;
}

ScopedKey::ScopedKey(const QString& password)
    : m_key(MakeFileKey(password))
{
}

ScopedKey::~ScopedKey()
{
    if (m_key)
        SecureWipe::wipe(m_key->data(), m_key->size());
}

std::optional<FileKey> MakeFileKey(const QString& password)
{
    if (password.isEmpty() || password.size() > MaxPasswordLength)
        return std::nullopt;
    std::optional<QByteArray> bytes = TextEncoding::olderFilesCodePage().encode(password);
    if (!bytes)
        return std::nullopt;
    // Built in place and returned without a copy, which would stay behind
    // on the stack unwiped.
    std::optional<FileKey> key(std::in_place);
    std::copy(bytes->begin(), bytes->end(), key->begin());
    SecureWipe::wipe(*bytes);
    return key;
}

QByteArray seal(const QByteArray& documentText, const FileKey& key)
{
    QByteArray bytes = containerStart(documentText.size());
    bytes.append(documentText);
    applyCipher(bytes, Magic.size(), key);
    return bytes;
}

std::optional<QByteArray> unseal(const QByteArray& fileBytes, const FileKey& key)
{
    if (!fileBytes.startsWith(Magic))
        return std::nullopt;
    QByteArray body = fileBytes;
    decipherBody(body, key);
    return body;
}

Status read(const QString& path, const QString& password, DataDocument& document, QString* detail, SlowDerivation slow)
{
    QByteArray bytes;
    if (const Status status = readWholeFile(path, bytes, detail); status != Status::Ok)
        return status;
    if (ProtectedContainer::isProtected(bytes))
        return readProtected(std::move(bytes), password, document, detail, slow);
    const ScopedKey key(password);
    if (!key)
        return Status::InvalidPassword;
    if (!bytes.startsWith(Magic))
        return Status::IncorrectFormat;
    return loadBody(std::move(bytes), *key, document, detail) ? Status::Ok : Status::CannotOpen;
}

Status write(const QString& path, const QString& password, const DataDocument& document, QString* detail,
             const Sealing& sealing)
{
    return save(path, password, document, false, detail, sealing);
}

QString SaveFailure::describe() const
{
    switch (reason) {
    case Reason::BackupSlotNotAFile: return QStringLiteral("%1 is not a regular file").arg(path);
    case Reason::FolderNotWritable: return QStringLiteral("the folder %1 does not allow creating files").arg(path);
    case Reason::System: break;
    }
    return systemReason;
}

Status save(const QString& path, const QString& password, const DataDocument& document, bool backups, QString* detail,
            const Sealing& sealing)
{
    SaveFailure failure;
    const Status status = save(path, password, document, backups, failure, sealing);
    if (status == Status::CannotWrite && detail)
        *detail = failure.describe();
    return status;
}

Status save(const QString& path, const QString& password, const DataDocument& document, bool backups,
            SaveFailure& failure, const Sealing& sealing)
{
    const auto failed = [&failure](SaveFailure::Reason reason, const QString& concerned, const QString& why) {
        failure = {reason, concerned, why};
        return Status::CannotWrite;
    };
    SealedFile sealed;
    QString why;
    if (const Status status = sealFile(textOf(document), password, sealing, sealed, &why); status != Status::Ok)
        return status == Status::CannotWrite ? failed(SaveFailure::Reason::System, {}, why) : status;
    StagedFile staged;
    if (!writeSealed(staged, path, sealed)) {
        // Saving in place would work here, but the new content is staged
        // beside the file so that a failure never leaves it half written.
        const QString folder = QFileInfo(staged.target()).absolutePath();
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0
            && ::access(QFile::encodeName(staged.target()).constData(), W_OK) == 0)
            return failed(SaveFailure::Reason::FolderNotWritable, folder, staged.errorString());
        return failed(SaveFailure::Reason::System, {}, staged.errorString());
    }
    // The old file keeps its name until the new content replaces it, so a
    // crash at any point leaves a data file in place.
    PendingBackup backup;
    const bool backingUp = backups && QFileInfo::exists(staged.target());
    if (backingUp && !backup.prepare(staged.target())) {
        if (!backup.oddSlot().isEmpty())
            return failed(SaveFailure::Reason::BackupSlotNotAFile, backup.oddSlot(), backup.error());
        return failed(SaveFailure::Reason::System, {}, backup.error());
    }
    if (!staged.commit())
        return failed(SaveFailure::Reason::System, {}, staged.errorString());
    // Backups are made quietly: the document is saved either way.
    if (backingUp)
        backup.complete();
    // Copies that killed saves left beside the file still open with its old passwords.
    SaveLeftovers::remove(staged.target());
    return Status::Ok;
}

Status create(const QString& path, const QString& password, const DataDocument& document, QString* detail,
              const Sealing& sealing)
{
    return create(path, password, textOf(document), detail, sealing);
}

Status create(const QString& path, const QString& password, const TextWriter& writeText, QString* detail,
              const Sealing& sealing)
{
    SealedFile sealed;
    if (const Status status = sealFile(writeText, password, sealing, sealed, detail); status != Status::Ok)
        return status;
    StagedFile staged(StagedFile::Mode::CreateNew);
    if (writeSealed(staged, path, sealed) && staged.commit())
        return Status::Ok;
    if (detail)
        *detail = staged.errorString();
    return staged.targetTaken() ? Status::AlreadyExists : Status::CannotWrite;
}

bool checkPassword(const QString& path, const QString& password)
{
    const ScopedKey key(password);
    if (!key)
        return false;
    QByteArray bytes;
    if (readWholeFile(path, bytes, nullptr) != Status::Ok || bytes.size() < Magic.size())
        return false;
    DataDocument scratch;
    return loadBody(std::move(bytes), *key, scratch, nullptr);
}

} // namespace DataFile
