#include "document/DataDocument.h"
#include "document/DocumentHistory.h"
#include "document/InsertionCommand.h"

#include <QtTest>

namespace {

const QByteArray Original = "<data><folder name=\"A\"/><folder name=\"B\"/></data>\r\n";

// Adds a group named name as the first child of the top level, and a second
// one last, so that redo must put them back in the order they were added.
std::unique_ptr<InsertionCommand> addTwoGroups(const char* name)
{
    return std::make_unique<InsertionCommand>(QString::fromLatin1(name),
                                              [name](DataDocument& document, InsertionCommand::Insertions& added) {
                                                  pugi::xml_node first = document.root().prepend_child("folder");
                                                  first.append_attribute("name").set_value(name);
                                                  added.added(first);
                                                  pugi::xml_node last = document.root().append_child("folder");
                                                  last.append_attribute("name").set_value(name);
                                                  added.added(last);
                                                  return true;
                                              });
}

} // namespace

class TestDocumentHistory : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoRestoreTheTextExactly();
    void aNewChangeAfterUndoDropsWhatWasSetAside();
    void savedStateFollowsUndoAndRedo();
};

void TestDocumentHistory::undoAndRedoRestoreTheTextExactly()
{
    DataDocument document;
    QVERIFY(document.loadText(Original));
    DocumentHistory history(document);
    QVERIFY(history.push(addTwoGroups("C")));
    QVERIFY(history.push(addTwoGroups("D")));
    const QByteArray changed = document.toText();
    QCOMPARE(changed, "<data><folder name=\"D\"/><folder name=\"C\"/><folder name=\"A\"/><folder name=\"B\"/>"
                      "<folder name=\"C\"/><folder name=\"D\"/></data>\r\n");
    const pugi::xml_node subject = history.nextUndo()->subject();

    history.undo();
    history.undo();
    // What is kept for redo is never written.
    QCOMPARE(document.toText(), Original);
    QVERIFY(!history.canUndo());
    history.redo();
    history.redo();
    QCOMPARE(document.toText(), changed);
    // Handles kept across undo and redo still name the same element.
    QCOMPARE(history.nextUndo()->subject(), subject);
    QVERIFY(!history.push(std::make_unique<InsertionCommand>(
        QStringLiteral("nothing"), [](DataDocument&, InsertionCommand::Insertions&) { return false; })));
    QCOMPARE(history.nextUndo()->description(), QStringLiteral("D"));
}

void TestDocumentHistory::aNewChangeAfterUndoDropsWhatWasSetAside()
{
    DataDocument document;
    QVERIFY(document.loadText(Original));
    DocumentHistory history(document);
    QVERIFY(history.push(addTwoGroups("C")));
    history.undo();
    QVERIFY(history.push(addTwoGroups("D")));
    QVERIFY(!history.canRedo());
    QCOMPARE(history.nextUndo()->description(), QStringLiteral("D"));
    history.undo();
    QCOMPARE(document.toText(), Original);
    // Nothing of C lingers in the document, written or set aside.
    QVERIFY(!document.root().root().find_node(
        [](const pugi::xml_node& node) { return qstrcmp(node.attribute("name").value(), "C") == 0; }));
}

void TestDocumentHistory::savedStateFollowsUndoAndRedo()
{
    DataDocument document;
    DocumentHistory history(document);
    QVERIFY(history.isAtSavedState());
    QVERIFY(history.push(addTwoGroups("C")));
    QVERIFY(!history.isAtSavedState());
    history.markSaved();
    history.undo();
    QVERIFY(!history.isAtSavedState());
    history.redo();
    QVERIFY(history.isAtSavedState());
    history.undo();
    // The saved state can no longer be reached.
    QVERIFY(history.push(addTwoGroups("D")));
    history.undo();
    QVERIFY(!history.isAtSavedState());
    history.clear();
    QVERIFY(history.isAtSavedState() && !history.canUndo() && !history.canRedo());
}

QTEST_GUILESS_MAIN(TestDocumentHistory)
#include "tst_documenthistory.moc"
