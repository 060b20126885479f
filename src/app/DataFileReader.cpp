#include "app/DataFileReader.h"

#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "platform/MessageService.h"

DataFileReader::DataFileReader(MessageService& messages, const CaptionTable& captions)
    : m_messages(messages)
    , m_captions(captions)
{
}

bool DataFileReader::read(const QString& path, const QString& password, DataDocument& document)
{
    QString key;
    QString english;
    switch (DataFile::read(path, password, document)) {
    case DataFile::Status::Ok:
        return true;
    case DataFile::Status::IncorrectFormat:
        key = QStringLiteral("MessageIncorrectFormat");
        english = QStringLiteral("Incorrect file format");
        break;
    case DataFile::Status::NewerFormat:
        key = QStringLiteral("MessageNewerFormat");
        english = QStringLiteral("This file was written by a newer version of Zantrove");
        break;
    default:
        key = QStringLiteral("MessageNotOpened");
        english = QStringLiteral("Can't open data file. Make sure you have entered correct password");
        break;
    }
    m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(key, english));
    return false;
}
