#pragma once

#include <QObject>
#include <QString>

class CaptionTable;
class Catalogue;
class DocumentSession;
class MessageService;
class QWidget;
class TreeCommands;

namespace Interchange {
struct ImportResult;
}

// File ▸ Import… and File ▸ Export…: the entries of other password managers
// in and out through the files they exchange (KeePass 2 XML and CSV out;
// those and the CSV layouts, Bitwarden JSON and Password Safe XML in). The
// work runs on a thread of its own while the window goes on painting the
// open document, so the work never changes that document: an import is read
// into a document of its own and copied into the open one afterwards.
class InterchangeCommands : public QObject {
    Q_OBJECT
public:
    // catalogue: the record types imported entries take; session: the open
    // document, exported, and its file; tree: where an import goes in, one
    // undoable step; window: what the progress window shows over.
    InterchangeCommands(const CaptionTable& captions, MessageService& messages, const Catalogue& catalogue,
                        const DocumentSession& session, TreeCommands& tree, QWidget& window);

    // Asks for a file, tells its format by its content, and adds
    // what it holds as a new group named after it at the top level: selected
    // in the tree, the document modified, then a summary. A file that cannot
    // be read or is malformed is named with the reason; nothing changes then.
    void importFile();
    // Warns that the file will not be encrypted, asks where to and in which
    // format, and writes the whole document there as a new file private to
    // the user (also in place of an existing one, or of a link, which is
    // replaced rather than followed); then says where it went, or why it
    // could not.
    void exportFile();

private:
    QString caption(const char* key, const char* englishDefault) const;
    // Why the file was not imported: in the user's language where the
    // reason is the program's own, else as the reader put it.
    QString importError(const Interchange::ImportResult& result) const;
    // What was imported, counted, in the user's language.
    QString importSummary(const Interchange::ImportResult& result, const QString& groupName) const;

    const CaptionTable& m_captions;
    MessageService& m_messages;
    const Catalogue& m_catalogue;
    const DocumentSession& m_session;
    TreeCommands& m_tree;
    QWidget& m_window;
};
