#pragma once

#include "datafile/DataFile.h"

#include <QString>

class CaptionTable;
class DataDocument;
class LongWork;
class MessageService;

// Writing the data file as the user sees it: told what is going on while
// the key is derived and the file written, a failed save says why, and a
// password change offers to remove the backups that still open with the old
// password.
class DataFileWriter {
public:
    DataFileWriter(MessageService& messages, const CaptionTable& captions, LongWork& work);

    // Saves document to path (DataFile::save) sealed as sealing says; on
    // failure shows why and gives false.
    bool save(const QString& path, const QString& password, const DataDocument& document, bool backups,
              const DataFile::Sealing& sealing);
    // Says that the password of dataFile changed; then, when the file has
    // backups, asks whether to remove them and does so on Yes.
    void passwordChanged(const QString& dataFile);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
    LongWork& m_work;
};

// "Can't save data file", then the file and why, each on a line of its own:
// the why in the user's language where the reason is the program's own, else
// in the system's words.
QString saveFailureMessage(const CaptionTable& captions, const QString& path, const DataFile::SaveFailure& failure);
