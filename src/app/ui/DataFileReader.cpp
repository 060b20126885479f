#include "app/ui/DataFileReader.h"

#include "app/ui/BackgroundWork.h"
#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "platform/MessageService.h"

DataFileReader::DataFileReader(MessageService& messages, const CaptionTable& captions, QWidget* window)
    : m_messages(messages)
    , m_captions(captions)
    , m_window(window)
{
}

bool DataFileReader::read(const QString& path, const QString& password, DataDocument& document)
{
    // The windows go on showing the document while the file is read: it is
    // read into a document of its own, which takes the old one's place here.
    DataDocument read;
    const BackgroundWork work(m_captions.GetCaption(QStringLiteral("ProgressOpening"), QStringLiteral("Opening…")),
                              m_window);
    QString key;
    QString english;
    switch (work.run([&] { return DataFile::read(path, password, read); })) {
    case DataFile::Status::Ok:
        document.swap(read);
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
