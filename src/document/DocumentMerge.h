#pragma once

#include "document/InsertionCommand.h"

#include <QString>

#include <memory>

class DataDocument;

// Brings the groups, records and fields of another document into the open
// one without ever taking anything away. Groups match by name, records by
// their path of captions and their type; what only the other holds is added
// (groups made as needed), and a field whose value differs is kept beside
// the open document's own under a name that says where it came from. The
// whole merge is one change, so one undo takes it back.
class DocumentMerge {
public:
    struct Summary {
        int groups = 0;
        int records = 0;
        int fields = 0;
        // Fields of matched records whose values differ: both are kept.
        int conflicts = 0;
        // Items left out because they would nest deeper than a document may.
        int tooDeep = 0;

        bool addedNothing() const { return groups + records + fields + conflicts == 0; }
    };

    // other must outlive the command. conflictName makes the name of a field
    // of other whose value differs from the field of that name here, such as
    // "Password (from laptop)".
    DocumentMerge(const DataDocument& other, std::function<QString(const QString& fieldName)> conflictName);

    // The change to push onto the history; this object must outlive pushing it.
    std::unique_ptr<InsertionCommand> command(const QString& description);
    // What the command added, once it was applied.
    const Summary& summary() const { return m_summary; }

private:
    class Run;

    const DataDocument& m_other;
    std::function<QString(const QString&)> m_conflictName;
    Summary m_summary;
};
