#include "datafile/DataFile.h"

#include "datafile/AtomicFile.h"
#include "datafile/Backups.h"
#include "datafile/RC4.h"
#include "datafile/TextEncoding.h"

#include <QFile>

namespace DataFile {

namespace {

void applyCipher(QByteArray& buffer, qsizetype from, const FileKey& key)
{
    RC4State state;
    RC4KeySchedule(state, key.data(), KeyLength);
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data()) + from;
    RC4Apply(state, bytes, bytes, buffer.size() - from);
}

std::optional<QByteArray> readWholeFile(const QString& path, QString* detail)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (detail)
            *detail = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (detail)
            *detail = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

// The deciphered body without its declaration; the declaration is never
// interpreted, only dropped.
QByteArray decipherBody(QByteArray fileBytes, const FileKey& key)
{
    applyCipher(fileBytes, Magic.size(), key);
    const qsizetype skip = std::min<qsizetype>(fileBytes.size(), Magic.size() + DataFileDeclaration.size());
    fileBytes.remove(0, skip);
    return fileBytes;
}

} // namespace

std::optional<FileKey> MakeFileKey(const QString& password)
{
    if (password.isEmpty() || password.size() > MaxPasswordLength)
        return std::nullopt;
    const std::optional<QByteArray> bytes = TextEncoding::toWindows1252(password);
    if (!bytes)
        return std::nullopt;
    FileKey key{};
    std::copy(bytes->begin(), bytes->end(), key.begin());
    return key;
}

QByteArray seal(const QByteArray& documentText, const FileKey& key)
{
    QByteArray bytes;
    bytes.reserve(Magic.size() + DataFileDeclaration.size() + documentText.size());
    bytes.append(Magic).append(DataFileDeclaration).append(documentText);
    applyCipher(bytes, Magic.size(), key);
    return bytes;
}

std::optional<QByteArray> unseal(const QByteArray& fileBytes, const FileKey& key)
{
    if (!fileBytes.startsWith(Magic))
        return std::nullopt;
    return decipherBody(fileBytes, key);
}

Status read(const QString& path, const QString& password, DataDocument& document, QString* detail)
{
    const std::optional<FileKey> key = MakeFileKey(password);
    if (!key)
        return Status::InvalidPassword;
    std::optional<QByteArray> bytes = readWholeFile(path, detail);
    if (!bytes)
        return Status::CannotRead;
    std::optional<QByteArray> text = unseal(*bytes, *key);
    if (!text)
        return Status::IncorrectFormat;
    return document.loadText(std::move(*text), detail) ? Status::Ok : Status::CannotOpen;
}

Status write(const QString& path, const QString& password, const DataDocument& document, QString* detail)
{
    return save(path, password, document, false, detail);
}

Status save(const QString& path, const QString& password, const DataDocument& document, bool backups, QString* detail)
{
    const std::optional<FileKey> key = MakeFileKey(password);
    if (!key)
        return Status::InvalidPassword;
    StagedFile staged;
    if (!staged.write(path, seal(document.toText(), *key))) {
        if (detail)
            *detail = staged.errorString();
        return Status::CannotWrite;
    }
    const QString movedAside = backups ? Backups::BackupDataFile(path) : QString();
    if (!staged.commitTo(path)) {
        // Put the previous file back where it was.
        if (!movedAside.isEmpty())
            QFile::rename(movedAside, path);
        if (detail)
            *detail = staged.errorString();
        return Status::CannotWrite;
    }
    return Status::Ok;
}

bool checkPassword(const QString& path, const QString& password)
{
    const std::optional<FileKey> key = MakeFileKey(password);
    if (!key)
        return false;
    std::optional<QByteArray> bytes = readWholeFile(path, nullptr);
    if (!bytes || bytes->size() < Magic.size())
        return false;
    DataDocument scratch;
    return scratch.loadText(decipherBody(std::move(*bytes), *key));
}

} // namespace DataFile
