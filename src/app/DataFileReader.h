#pragma once

#include "datafile/DataFile.h"

#include <QString>

#include <optional>

class CaptionTable;
class DataDocument;
class LongWork;
class MessageService;

// Reading the data file as the user sees it: told what is going on while
// the key is derived and the file read, and a file that does not open says
// which of the program's messages applies.
class DataFileReader {
public:
    DataFileReader(MessageService& messages, const CaptionTable& captions, LongWork& work);

    // Reads path into document (DataFile::read); on failure shows why and
    // gives the failure, with document unchanged. A slow derivation that the
    // user agreed to (slow) may be cancelled: nullopt then, and nothing said.
    std::optional<DataFile::Status> read(const QString& path, const QString& password, DataDocument& document,
                                         DataFile::SlowDerivation slow = DataFile::SlowDerivation::Refuse);

private:
    // The status of reading path into read; nullopt when the user cancelled.
    std::optional<DataFile::Status> readInto(DataDocument& read, const QString& path, const QString& password,
                                             DataFile::SlowDerivation slow);

    MessageService& m_messages;
    const CaptionTable& m_captions;
    LongWork& m_work;
};
