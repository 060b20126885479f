#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"

#include <QtTest>

#include <cstdlib>

namespace {

const QDateTime Now(QDate(2024, 6, 3), QTime(14, 30, 5));

void load(DataDocument& document, const QByteArray& text)
{
    if (!document.loadText(text))
        qFatal("fixture text does not parse");
}

// The first element of a catalogue fragment, held by entries.
pugi::xml_node entryOf(pugi::xml_document& entries, const char* text)
{
    if (!entries.load_string(text))
        qFatal("template text does not parse");
    return entries.first_child();
}

// A group by its name or a record by its parent_type.
pugi::xml_node item(const DataDocument& document, const QString& key)
{
    const QString query = QStringLiteral("//*[@name='%1' or @parent_type='%1']").arg(key);
    return document.root().select_node(query.toUtf8().constData()).node();
}

QString attributesOf(const pugi::xml_node& element)
{
    QStringList pairs;
    for (const pugi::xml_attribute& attribute : element.attributes())
        pairs << qText(attribute.name()) + '=' + qText(attribute);
    return pairs.join(' ');
}

// Makes every pugixml allocation above a limit fail while it lives, as an
// exhausted heap would.
class LargeAllocationsFail {
public:
    explicit LargeAllocationsFail(size_t limit)
    {
        s_limit = limit;
        pugi::set_memory_management_functions(&allocate, &std::free);
    }
    ~LargeAllocationsFail() { pugi::set_memory_management_functions(&std::malloc, &std::free); }

private:
    static void* allocate(size_t size) { return size > s_limit ? nullptr : std::malloc(size); }
    static inline size_t s_limit = 0;
};

} // namespace

class TestTreeEditing : public QObject {
    Q_OBJECT

private slots:
    void newItemsGoLastWithAttributesInOrderAndStartValues()
    {
        DataDocument document;
        load(document, "<data><folder name='Home' type='AUTO'><folder name='Sub' type='VIP'/></folder></data>");
        pugi::xml_document entries;
        const pugi::xml_node entry =
            entryOf(entries, "<car type='NOTE' name='Car'><links link='Model' link2='Plate'/>"
                             "<field name='Model' basic_type='TEXT'/><comment name='ignored'/>"
                             "<field name='Bought' basic_type='DATE'/><field name='At' basic_type='TIME'/>"
                             "<field name='Notes' basic_type='long text'/></car>");

        const pugi::xml_node record = TreeEditing::appendRecord(item(document, "Home"), entry, "Car", "", 4, Now);
        QVERIFY(TreeEditing::appendField(record, "Ablauf", "DATE", Now));
        QVERIFY(TreeEditing::appendGroup(document.root(), "Work", 5));

        QCOMPARE(document.toText(),
                 QByteArray("<data><folder name=\"Home\" type=\"AUTO\"><folder name=\"Sub\" type=\"VIP\"/>"
                            "<record parent_type=\"Car\" type=\"CAR INFO\"><label link=\"Model\" link2=\"Plate\"/>"
                            "<field name=\"Model\" basic_type=\"TEXT\"/>"
                            "<field name=\"Bought\" basic_type=\"DATE\">20240502:</field>"
                            "<field name=\"At\" basic_type=\"TIME\">143005.</field>"
                            "<field name=\"Notes\" basic_type=\"long text\"/>"
                            "<field name=\"Ablauf\" basic_type=\"DATE\">20240502:</field>"
                            "</record></folder><folder name=\"Work\" type=\"OFFICE\"/></data>\r\n"));
    }

    void labelFromEntryAndName_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("recordName");
        QTest::addColumn<QString>("labelAttributes");
        QTest::addColumn<QString>("labelText");
        QTest::newRow("no link2 on the entry") << QByteArray("<e><l link='A'/></e>") << ""
                                               << "link=A"
                                               << "";
        QTest::newRow("no links at all") << QByteArray("<e><l/></e>") << ""
                                         << "link="
                                         << "";
        QTest::newRow("record name") << QByteArray("<e><l link='A'/></e>") << "Mein Konto ✓"
                                     << "link=A"
                                     << "Mein Konto ✓";
    }

    void labelFromEntryAndName()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QString, recordName);
        DataDocument document;
        pugi::xml_document entries;

        const pugi::xml_node label =
            TreeEditing::appendRecord(document.root(), entryOf(entries, entry.constData()), "T", recordName, 0, Now)
                .first_child();

        QCOMPARE(qText(label.name()), QString("label"));
        QTEST(attributesOf(label), "labelAttributes");
        QTEST(qText(label.text()), "labelText");
    }

    void namingARecord_data()
    {
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<QByteArray>("named");
        const QByteArray field = "<field name=\"A\" basic_type=\"TEXT\">value</field>";
        QTest::newRow("label holds the name")
            << "<label link=\"A\">Old</label>" + field << "<label link=\"A\">New</label>" + field;
        QTest::newRow("no label: one is made first") << field << "<label link=\"\">New</label>" + field;
        QTest::newRow("no children") << QByteArray() << QByteArray("<label link=\"\">New</label>");
    }

    void namingARecord()
    {
        QFETCH(QByteArray, fields);
        QFETCH(QByteArray, named);
        DataDocument document;
        load(document, "<data><record parent_type=\"P\">" + fields + "</record></data>");
        const pugi::xml_node record = document.root().first_child();

        QVERIFY(TreeEditing::nameRecord(record, "New"));
        QCOMPARE(document.toText(), "<data><record parent_type=\"P\">" + named + "</record></data>\r\n");
        QCOMPARE(Schema::RecordCaption(record), QStringLiteral("New"));
    }

    void refusedCreationsLeaveDocumentUnchanged()
    {
        DataDocument document;
        load(document, "<data><folder name='Home' type='AUTO'/><record parent_type='Note' type='NOTE'>"
                       "<label link=''/><field name='Text' basic_type='TEXT'>x</field></record></data>");
        const QByteArray before = document.toText();
        pugi::xml_document entries;
        const pugi::xml_node recordEntry = entryOf(entries, "<record name='Note'><l link=''/></record>");

        QVERIFY(!TreeEditing::appendRecord(document.root(), pugi::xml_node(), "Note", "", 0, Now));
        QVERIFY(!TreeEditing::appendRecord(document.root(), recordEntry, "Note", "", 0, Now));
        QVERIFY(!TreeEditing::appendGroup(item(document, "Note"), "Inside a record", 0));
        QVERIFY(!TreeEditing::appendField(item(document, "Home"), "In a group", "TEXT", Now));
        QCOMPARE(document.toText(), before);
    }

    void failureHalfWayLeavesDocumentUnchanged()
    {
        DataDocument document;
        load(document, "<data><folder name='Home' type='AUTO'/></data>");
        const QByteArray before = document.toText();
        pugi::xml_document entries;
        pugi::xml_node entry = entryOf(entries, "<e><l link='A'/><field name='A'/></e>");
        // Copying this name needs an allocation of its own, after the record,
        // its label and the first field were appended.
        entry.append_child("field").append_attribute("name").set_value(std::string(100000, 'x').c_str());

        {
            LargeAllocationsFail guard(65536);
            QVERIFY(!TreeEditing::appendRecord(document.root(), entry, "T", "", 0, Now));
        }
        QCOMPARE(document.toText(), before);
        QVERIFY(TreeEditing::appendRecord(document.root(), entry, "T", "", 0, Now));
    }

    // Whatever the program writes must open again: no edit nests elements
    // deeper than a loaded document may be.
    void editsStayWithinTheNestingLimit()
    {
        DataDocument document;
        pugi::xml_node roomForARecord = document.root();
        for (int level = 1; level <= DataDocument::MaxNesting - 2; ++level)
            roomForARecord = TreeEditing::appendGroup(roomForARecord, "g", 0);
        pugi::xml_document entries;
        const pugi::xml_node entry = entryOf(entries, "<e><l link='A'/><field name='A' basic_type='TEXT'/></e>");
        QVERIFY(TreeEditing::appendRecord(roomForARecord, entry, "T", "", 0, Now));
        const pugi::xml_node tooLowForARecord = TreeEditing::appendGroup(roomForARecord, "low", 0);
        const pugi::xml_node bottom = TreeEditing::appendGroup(tooLowForARecord, "bottom", 0);
        QVERIFY(bottom);
        QVERIFY(!TreeEditing::appendRecord(tooLowForARecord, entry, "T", "", 0, Now));
        QVERIFY(!TreeEditing::appendGroup(bottom, "below", 0));

        // Two levels of groups fit one level higher only.
        const pugi::xml_node pair = TreeEditing::appendGroup(document.root(), "pair", 0);
        TreeEditing::appendGroup(pair, "inner", 0);
        QVERIFY(!TreeEditing::acceptsDrop(pair, tooLowForARecord));
        QVERIFY(TreeEditing::moveElement(pair, roomForARecord));

        DataDocument reread;
        QVERIFY(reread.loadText(document.toText()));
    }

    void dragAndDrop_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target"); // empty: no node; "data": the data element
        QTest::addColumn<bool>("accepted");
        QTest::newRow("group onto its subgroup") << "Home"
                                                 << "Sub" << false;
        QTest::newRow("group onto a deeper subgroup") << "Home"
                                                      << "Deep" << false;
        QTest::newRow("group onto its parent") << "Sub"
                                               << "Home" << false;
        QTest::newRow("group onto itself") << "Home"
                                           << "Home" << false;
        QTest::newRow("group onto another group") << "Home"
                                                  << "Work" << true;
        QTest::newRow("record onto its own group") << "Bill"
                                                   << "Home" << false;
        QTest::newRow("record onto another record") << "Bill"
                                                    << "Memo" << false;
        QTest::newRow("record onto another group") << "Bill"
                                                   << "Sub" << true;
        QTest::newRow("nested group onto no node") << "Deep"
                                                   << "" << true;
        QTest::newRow("top-level group onto no node") << "Home"
                                                      << "" << true;
        QTest::newRow("data element counts as no node") << "Sub"
                                                        << "data" << true;
    }

    void dragAndDrop()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(bool, accepted);
        DataDocument document;
        load(document,
             "<data><folder name='Home' type='AUTO'>"
             "<record parent_type='Bill' type='NOTE'><label/><field name='x' basic_type='TEXT'>1</field></record>"
             "<folder name='Sub' type='VIP'><folder name='Deep' type='VIP'/></folder></folder>"
             "<folder name='Work' type='OFFICE'/><record parent_type='Memo' type='NOTE'><label/></record>"
             "<folder name='Last' type='VIP'/></data>");
        const QByteArray before = document.toText();
        const size_t elementCount = document.root().select_nodes("//*").size();
        const pugi::xml_node draggedNode = item(document, dragged);
        const pugi::xml_node targetNode = target == "data" ? document.root() : item(document, target);

        QCOMPARE(TreeEditing::acceptsDrop(draggedNode, targetNode), accepted);
        const pugi::xml_node moved = TreeEditing::moveElement(draggedNode, targetNode);

        if (!accepted) {
            QVERIFY(!moved);
            QCOMPARE(document.toText(), before);
            return;
        }
        QCOMPARE((targetNode ? targetNode : document.root()).last_child(), moved);
        QCOMPARE(item(document, dragged), moved);
        // Moved with its contents, and nothing left at the old place.
        QCOMPARE(document.root().select_nodes("//*").size(), elementCount);
    }
};

QTEST_GUILESS_MAIN(TestTreeEditing)
#include "tst_treeediting.moc"
