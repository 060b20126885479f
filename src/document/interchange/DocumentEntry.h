#pragma once

#include "document/FieldFormats.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A record as an export takes it from a document: the same strings as the
// ForeignEntry made of it, but each text the document holds as it is written
// stays the document's UTF-8, pointed at rather than converted or copied.
struct DocumentEntry {
    // One of its texts: QString::fromUtf8(utf8), or, where the export
    // changes the stored text (dates, long texts, names made unique), made.
    struct Text {
        QByteArrayView utf8;
        std::optional<QString> made;
        // The stored value's type where the export changes it (a date, a
        // time, a long text): made from utf8 before it is written.
        std::optional<FieldType> changedFrom;
    };

    DocumentEntry() = default;
    // The texts made are wiped.
    ~DocumentEntry();
    DocumentEntry(DocumentEntry&&) = default;
    DocumentEntry& operator=(DocumentEntry&&) = default;
    // A copy's title could point into the original.
    DocumentEntry(const DocumentEntry&) = delete;
    DocumentEntry& operator=(const DocumentEntry&) = delete;

    Text title;
    Text userName;
    Text password;
    Text url;
    Text notes;
    QList<std::pair<Text, Text>> extras;
    // The title's UTF-8 where it is put together from two of the record's texts.
    QByteArray joinedTitle;
};
