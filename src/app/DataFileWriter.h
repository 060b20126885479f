#pragma once

#include "datafile/DataFile.h"

#include <QString>

class CaptionTable;
class DataDocument;
class MessageService;

// Writing the data file as the user sees it: a failed save says why, and a
// password change offers to remove the backups that still open with the old
// password.
class DataFileWriter {
public:
    DataFileWriter(MessageService& messages, const CaptionTable& captions);

    // Saves document to path (DataFile::save) in the format the file there
    // has, or a new file's name asks for; on failure shows why and gives false.
    bool save(const QString& path, const QString& password, const DataDocument& document, bool backups);
    // Says that the password of dataFile changed; then, when the file has
    // backups, asks whether to remove them and does so on Yes.
    void passwordChanged(const QString& dataFile);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
};

// "Can't save data file", then why on a line of its own: in the user's
// language where the reason is the program's own, else in the system's words.
QString saveFailureMessage(const CaptionTable& captions, const DataFile::SaveFailure& failure);
