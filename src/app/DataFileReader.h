#pragma once

#include <QString>

class CaptionTable;
class DataDocument;
class MessageService;

// Reading the data file as the user sees it: a file that does not open says
// which of the program's messages applies.
class DataFileReader {
public:
    DataFileReader(MessageService& messages, const CaptionTable& captions);

    // Reads path into document (DataFile::read); on failure shows why and
    // gives false, with document unchanged.
    bool read(const QString& path, const QString& password, DataDocument& document);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
};
