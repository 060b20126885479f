#pragma once

#include "datafile/DataFile.h"
#include "document/DocumentMerge.h"

#include <QString>

#include <optional>

class CaptionTable;
class DocumentHistory;
class LongWork;
class MessageService;

// Merging a data file into the open document as the user sees it: the file
// read as Open reads it, the merge one change of the history named after
// the file, and a summary of what it brought.
class FileMerge {
public:
    FileMerge(MessageService& messages, const CaptionTable& captions, LongWork& work);

    // Reads path with password and merges it into the document history
    // changes, then shows the summary; nullopt when the file did not open
    // (the user was told why) or the user cancelled a slow derivation.
    std::optional<DocumentMerge::Summary> merge(const QString& path, const QString& password,
                                                DataFile::SlowDerivation slow, DocumentHistory& history);

    // The name a field of the file named otherName takes when its value
    // differs: "PIN (from laptop)".
    static QString conflictName(const CaptionTable& captions, const QString& fieldName, const QString& otherName);
    // What a merge of the file named otherName brought, a line each.
    static QString summaryText(const CaptionTable& captions, const DocumentMerge::Summary& summary,
                               const QString& otherName);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
    LongWork& m_work;
};
