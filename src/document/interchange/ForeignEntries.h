#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

// What other password managers exchange, without their file formats: entries
// with the five usual strings and any others, in groups. Import and export go
// through this shape, so each file format only reads or writes it.
struct ForeignEntry {
    // A log-in, or a note whose text is what it holds.
    enum class Kind { Login, Note };

    QString title;
    QString userName;
    QString password;
    QString url;
    QString notes;
    // Every other string, in the source's order; empty values included.
    QList<std::pair<QString, QString>> extras;
    Kind kind = Kind::Login;
};

// Every text of entry wiped.
void wipe(ForeignEntry& entry);

// What a file held that a data document cannot carry; counted on import.
struct NotCarried {
    int attachments = 0;
    int historyEntries = 0;
    int customIcons = 0;
    int expiryDates = 0;
    int tagged = 0;
    int groupNotes = 0;
    int autoTypeSettings = 0;
    // Entries whose creation and change times were left behind.
    int entryTimes = 0;
    int colours = 0;
    // Entries of the source's recycle bin, left out.
    int deletedEntries = 0;
    // Columns (or keys) of ids and flags with no meaning to a person.
    int bookkeepingColumns = 0;
};

// Where a reader puts what it reads, entry by entry, so that an import is
// built straight into its document rather than through a copy of the whole.
class EntrySink {
public:
    using GroupId = int;
    static constexpr GroupId Top = 0;
    static constexpr GroupId NoGroup = -1;

    virtual ~EntrySink() = default;
    // A new group named name in parent; NoGroup when the tree cannot take
    // it (nested too deep).
    virtual GroupId addGroup(GroupId parent, const QString& name) = 0;
    // False when the tree cannot take it. The entry's texts are wiped.
    virtual bool addEntry(GroupId group, ForeignEntry& entry) = 0;

    NotCarried notCarried;
};

// Told now and then how many of total entries are done, so a window can show
// progress on a large file; total is 0 while it is not known yet.
using InterchangeProgress = std::function<void(qsizetype done, qsizetype total)>;
