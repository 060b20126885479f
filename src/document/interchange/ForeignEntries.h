#pragma once

#include <QList>
#include <QString>

#include <deque>
#include <functional>
#include <utility>

// What other password managers exchange, without their file formats: entries
// with the five usual strings and any others, in groups. Import and export go
// through this shape, so each file format only reads or writes it.
struct ForeignEntry {
    QString title;
    QString userName;
    QString password;
    QString url;
    QString notes;
    // Every other string, in the source's order; empty values included.
    QList<std::pair<QString, QString>> extras;
};

struct ForeignGroup {
    QString name;
    std::deque<ForeignEntry> entries;
    std::deque<ForeignGroup> groups;
};

// What a file held that a data document cannot carry; counted on import.
struct NotCarried {
    int attachments = 0;
    int historyEntries = 0;
    int customIcons = 0;
    int expiryDates = 0;
    int tagged = 0;
};

// Told now and then how many of total entries are done, so a window can show
// progress on a large file.
using InterchangeProgress = std::function<void(qsizetype done, qsizetype total)>;
