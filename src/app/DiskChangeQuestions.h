#pragma once

#include <QString>

class CaptionTable;
class MessageService;

// What the user is asked and told when another program changed the open
// file: before a save, while there are unsaved changes, and when the file
// no longer opens with its password.
class DiskChangeQuestions {
public:
    DiskChangeQuestions(MessageService& messages, const CaptionTable& captions);

    enum class BeforeSaving { Merge, Overwrite, SaveAs, Cancel };
    // Merge is the default; Save as… is offered only with saveAsOffered.
    BeforeSaving askBeforeSaving(const QString& path, bool saveAsOffered);
    // Whether to merge the file's changes into the unsaved document now.
    bool askToMergeNow(const QString& path);
    void tellNotReadAgain(const QString& path);

private:
    QString caption(const char* key, const char* englishDefault) const;

    MessageService& m_messages;
    const CaptionTable& m_captions;
};
