#include "app/DataFileReader.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "platform/LongWork.h"
#include "platform/MessageService.h"

#include <memory>

DataFileReader::DataFileReader(MessageService& messages, const CaptionTable& captions, LongWork& work)
    : m_messages(messages)
    , m_captions(captions)
    , m_work(work)
{
}

std::optional<DataFile::Status> DataFileReader::readInto(DataDocument& read, const QString& path,
                                                         const QString& password, DataFile::SlowDerivation slow)
{
    const QString opening = m_captions.GetCaption(QStringLiteral("ProgressOpening"), QStringLiteral("Opening…"));
    if (slow == DataFile::SlowDerivation::Refuse)
        return m_work.run(opening, [&] { return DataFile::read(path, password, read); });
    // The user may give up waiting for a slow derivation, which then ends
    // unseen: it works on a document and a password of its own.
    auto ownDocument = std::make_shared<DataDocument>();
    const std::optional<DataFile::Status> status = m_work.runCancellable(
        opening, m_captions.GetCaption(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel")),
        [ownDocument, path, ownPassword = SecureWipe::deepCopy(password)]() mutable {
            const SecureWipe::WipeOnExit forget(ownPassword);
            return DataFile::read(path, ownPassword, *ownDocument, nullptr, DataFile::SlowDerivation::Allow);
        });
    if (status == DataFile::Status::Ok)
        read.swap(*ownDocument);
    return status;
}

std::optional<DataFile::Status> DataFileReader::read(const QString& path, const QString& password,
                                                     DataDocument& document, DataFile::SlowDerivation slow)
{
    // The windows go on showing the document while the file is read: it is
    // read into a document of its own, which takes the old one's place here.
    DataDocument read;
    const std::optional<DataFile::Status> status = readInto(read, path, password, slow);
    if (!status)
        return status;
    QString key;
    QString english;
    switch (*status) {
    case DataFile::Status::Ok: document.swap(read); return status;
    case DataFile::Status::IncorrectFormat:
        key = QStringLiteral("MessageIncorrectFormat");
        english = QStringLiteral("Incorrect file format");
        break;
    case DataFile::Status::NewerFormat:
        key = QStringLiteral("MessageNewerFormat");
        english = QStringLiteral("This file was written by a newer version of Zantrove");
        break;
    case DataFile::Status::InvalidPassword:
        // The password may well be right, and the code page the wrong one.
        m_messages.show(MessageService::Kind::Error,
                        m_captions
                            .GetCaption(QStringLiteral("MessagePasswordOutsideCodePage"),
                                        QStringLiteral("The password has characters that the code page of older "
                                                       "files, %1, does not have. If the file was written in "
                                                       "another code page, choose that one in the settings"))
                            .arg(TextEncoding::olderFilesCodePage().name()));
        return status;
    case DataFile::Status::DerivationSlow:
    case DataFile::Status::DerivationBeyondMemory:
        // Only when the file changed since the user was asked about it.
        key = QStringLiteral("MessageDerivationTooCostly");
        english = QStringLiteral("Deriving this file's key would take more time or memory than agreed");
        break;
    default:
        key = QStringLiteral("MessageNotOpened");
        english = QStringLiteral("Can't open data file. Make sure you have entered correct password");
        break;
    }
    m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(key, english));
    return status;
}
