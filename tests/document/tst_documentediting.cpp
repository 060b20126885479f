#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "document/DocumentCommand.h"
#include "document/DocumentEditing.h"
#include "document/DocumentHistory.h"

#include <QtTest>

#include <functional>

namespace {

// A named group with a labelled record, and a group and record made by
// another program: no `name`, no `label`.
const QByteArray Original =
    "<data><folder name=\"Home\" type=\"PRIVATE\"><record parent_type=\"Note\" type=\"NOTE\">"
    "<label link=\"Title\">Bank</label><field name=\"Pin\" basic_type=\"TEXT\">1234</field></record></folder>"
    "<folder type=\"OFFICE\"><record type=\"NOTE\"><field name=\"Title\" basic_type=\"TEXT\">x</field></record>"
    "</folder></data>\r\n";

const QByteArray Template = "<entry><name link=\"Title\"/><field name=\"User\" basic_type=\"TEXT\"/></entry>";

struct Editing {
    Editing() { document.loadText(Original); }
    pugi::xml_node home() const { return document.root().first_child(); }
    pugi::xml_node office() const { return home().next_sibling(); }
    pugi::xml_node bank() const { return home().first_child(); }

    DataDocument document;
    DocumentHistory history{document};
    CaptionTable captions;
    DocumentEditing editing{document, history, captions};
    pugi::xml_document templates;
};

using Change = std::function<bool(Editing&)>;

} // namespace

class TestDocumentEditing : public QObject {
    Q_OBJECT
private slots:
    // Each change once, undone and made again: the text is exactly the one
    // before and the one after, and the menu names the change.
    void applyUndoRedo_data();
    void applyUndoRedo();
};

void TestDocumentEditing::applyUndoRedo_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("description");
    // The text after it: Original with replaced put by changed; all of it in changed when replaced is empty.
    QTest::addColumn<QByteArray>("changed");
    QTest::addColumn<QByteArray>("replaced");
    const auto row = [](const char* name, const Change& change, const char* description, const QByteArray& replaced,
                        const QByteArray& by) {
        QTest::newRow(name) << change << QString::fromUtf8(description) << by << replaced;
    };
    row(
        "new group", [](Editing& e) { return bool(e.editing.newGroup(e.home(), "Cars", 0)); }, "New Group “Cars”",
        "</record></folder>", "</record><folder name=\"Cars\" type=\"AUTO\"/></folder>");
    row(
        "new record",
        [](Editing& e) {
            e.templates.load_string(Template.constData());
            return bool(e.editing.newRecord({}, e.templates.first_child(), "Login", "Mail", 0, {}));
        },
        "New Record “Mail”", "</folder></data>",
        "</folder><record parent_type=\"Login\" type=\"DEFAULT\"><label link=\"Title\">Mail</label>"
        "<field name=\"User\" basic_type=\"TEXT\"/></record></data>");
    row(
        "new field", [](Editing& e) { return bool(e.editing.newField(e.bank(), "Tan", "TEXT", {})); },
        "New Field “Tan”", "1234</field>", "1234</field><field name=\"Tan\" basic_type=\"TEXT\"/>");
    row(
        "delete group", [](Editing& e) { return e.editing.deleteItem(e.home()); }, "Delete “Home”",
        Original.mid(6, Original.indexOf("<folder type") - 6), "");
    row(
        "delete field", [](Editing& e) { return e.editing.deleteField(e.bank().child("field")); }, "Delete Field “Pin”",
        "<field name=\"Pin\" basic_type=\"TEXT\">1234</field>", "");
    row(
        "rename record", [](Editing& e) { return e.editing.renameRecord(e.bank(), "Savings"); }, "Rename “Bank”",
        ">Bank<", ">Savings<");
    row(
        "rename record without label",
        [](Editing& e) { return e.editing.renameRecord(e.office().first_child(), "Desk"); }, "Rename “x”",
        "<record type=\"NOTE\">", "<record type=\"NOTE\"><label link=\"\">Desk</label>");
    row(
        "rename group without name", [](Editing& e) { return e.editing.renameGroup(e.office(), "Work"); }, "Rename “”",
        "<folder type=\"OFFICE\">", "<folder name=\"Work\" type=\"OFFICE\">");
    row(
        "move", [](Editing& e) { return bool(e.editing.move(e.bank(), e.office())); }, "Move “Bank”", "",
        "<data><folder name=\"Home\" type=\"PRIVATE\"/><folder type=\"OFFICE\"><record type=\"NOTE\">"
        "<field name=\"Title\" basic_type=\"TEXT\">x</field></record><record parent_type=\"Note\" type=\"NOTE\">"
        "<label link=\"Title\">Bank</label><field name=\"Pin\" basic_type=\"TEXT\">1234</field></record></folder>"
        "</data>\r\n");
    row(
        "typing in one field is one step",
        [](Editing& e) {
            const pugi::xml_node pin = e.bank().child("field");
            return e.editing.editField(pin, "Pin", "TEXT", "5", false)
                   && e.editing.editField(pin, "Pin", "TEXT", "56", true)
                   && e.editing.editField(pin, "Pin", "TEXT", "", true);
        },
        "Edit “Pin”", ">1234</field>", "/>");
    row(
        "import",
        [](Editing& e) {
            return bool(e.editing.addImported("Imported",
                                              "<folder name=\"Imported\"><record><field name=\"N\">a &amp;&#10;b"
                                              "</field></record></folder>"));
        },
        "Import “Imported”", "</folder></data>",
        "</folder><folder name=\"Imported\"><record><field name=\"N\">a &amp;&#10;b</field></record></folder></data>");
}

void TestDocumentEditing::applyUndoRedo()
{
    QFETCH(Change, change);
    QFETCH(QByteArray, replaced);
    QFETCH(QByteArray, changed);
    QByteArray expected = changed;
    if (!replaced.isEmpty())
        expected = QByteArray(Original).replace(Original.indexOf(replaced), replaced.size(), changed);

    Editing e;
    QVERIFY(change(e));
    QCOMPARE(e.document.toText(), expected);
    QTEST(e.history.nextUndo()->description(), "description");
    e.history.undo();
    QCOMPARE(e.document.toText(), Original);
    QVERIFY(!e.history.canUndo());
    e.history.redo();
    QCOMPARE(e.document.toText(), expected);
    e.history.undo();
    QCOMPARE(e.document.toText(), Original);
}

QTEST_MAIN(TestDocumentEditing)
#include "tst_documentediting.moc"
