#include "app/DataFileReader.h"

#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "datafile/TextEncoding.h"
#include "platform/LongWork.h"
#include "platform/MessageService.h"

DataFileReader::DataFileReader(MessageService& messages, const CaptionTable& captions, LongWork& work)
    : m_messages(messages)
    , m_captions(captions)
    , m_work(work)
{
}

DataFile::Status DataFileReader::read(const QString& path, const QString& password, DataDocument& document)
{
    // The windows go on showing the document while the file is read: it is
    // read into a document of its own, which takes the old one's place here.
    DataDocument read;
    const QString opening = m_captions.GetCaption(QStringLiteral("ProgressOpening"), QStringLiteral("Opening…"));
    QString key;
    QString english;
    const DataFile::Status status = m_work.run(opening, [&] { return DataFile::read(path, password, read); });
    switch (status) {
    case DataFile::Status::Ok:
        document.swap(read);
        return status;
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
    default:
        key = QStringLiteral("MessageNotOpened");
        english = QStringLiteral("Can't open data file. Make sure you have entered correct password");
        break;
    }
    m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(key, english));
    return status;
}
