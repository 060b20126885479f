#pragma once

#include <QString>

class CaptionTable;
class DataDocument;
class MessageService;
class QWidget;

// Reading the data file as the user sees it: the window stays painted while
// the key is derived and the file read, and a file that does not open says
// which of the program's messages applies.
class DataFileReader {
public:
    // window: where the progress shows when reading takes a while.
    DataFileReader(MessageService& messages, const CaptionTable& captions, QWidget* window);

    // Reads path into document (DataFile::read); on failure shows why and
    // gives false, with document unchanged.
    bool read(const QString& path, const QString& password, DataDocument& document);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
    QWidget* m_window;
};
