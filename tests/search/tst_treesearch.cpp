#include "document/DataDocument.h"
#include "document/Schema.h"
#include "search/TreeSearch.h"

#include <QtTest>

namespace {

// Tree order: Shopping, Bank, Visa card, Old card (records before groups).
const char* const Fixture =
    "<data><folder name='Bank'>"
    "<record><label>Visa card</label><field name='Code' basic_type='TEXT'>milk</field>"
    "<field name='Holder' basic_type='TEXT'>Visa Holder</field><field name='PIN' basic_type='NUMBER'>1234</field>"
    "<field name='Note' basic_type='LONG TEXT'>visa again</field></record>"
    "<record><label>Old card</label><field name='Bank' basic_type='TEXT'>none</field></record>"
    "</folder>"
    "<record><label>Shopping</label><field name='Secret' basic_type='TEXT'>milk</field></record></data>";

// Plays the main window: a hit gets selected, Find Next goes on from the
// selected item, a selection by hand tells the search.
struct Session {
    explicit Session(const char* text = Fixture) { document.loadText(text); }

    pugi::xml_node item(const char* caption) const
    {
        return document.root().find_node([caption](const pugi::xml_node& node) {
            return Schema::isRecord(node) && Schema::itemCaption(node) == QLatin1String(caption);
        });
    }
    bool took(bool hit)
    {
        if (hit)
            selected = search.position().hitNode;
        return hit;
    }
    bool find(const char* keyword, bool fieldNames = false)
    {
        return took(search.SearchFromTop(document.root(), SearchOptions{keyword, false, fieldNames}));
    }
    bool findNext()
    {
        search.position().hitNode = selected;
        return took(search.SearchBelow(document.root()));
    }
    void select(const char* caption)
    {
        selected = item(caption);
        search.itemSelected();
    }
    QString hit() const { return Schema::itemCaption(search.position().hitNode); }
    int counter() const { return search.position().fieldCounter; }

    DataDocument document;
    TreeSearch search;
    pugi::xml_node selected;
};

} // namespace

class TestTreeSearch : public QObject {
    Q_OBJECT

private slots:
    void findStartsAtTheFirstItemWhateverIsSelected()
    {
        Session session;
        session.select("Visa card");
        QVERIFY(session.find("MILK"));
        QCOMPARE(session.hit(), QStringLiteral("Shopping"));
        QCOMPARE(session.counter(), 1);
        QCOMPARE(session.search.remembered().keyword, QStringLiteral("MILK"));
    }

    void findNextGoesFromCaptionToFieldsToTheItemsBelow()
    {
        Session session;
        QVERIFY(session.find("visa"));
        QCOMPARE(session.hit(), QStringLiteral("Visa card"));
        QCOMPARE(session.counter(), -1);
        QVERIFY(!session.search.position().hitField);
        QVERIFY(session.findNext());
        QCOMPARE(session.search.position().hitField.attribute("name").value(), "Holder");
        QCOMPARE(session.counter(), 2);
        QVERIFY(session.findNext());
        QCOMPARE(session.hit(), QStringLiteral("Visa card"));
        QCOMPARE(session.counter(), 4);
        QVERIFY(!session.findNext());
        QVERIFY(session.search.position().exhausted);
    }

    void exhaustedReportsAtOnceUntilAnItemIsSelected()
    {
        Session session;
        QVERIFY(session.find("card") && session.findNext());
        QCOMPARE(session.hit(), QStringLiteral("Old card"));
        QVERIFY(!session.findNext());
        // From Shopping a search would hit, but nothing is searched.
        session.selected = session.item("Shopping");
        QVERIFY(!session.findNext());

        session.select("Shopping");
        QVERIFY(!session.search.position().exhausted);
        QVERIFY(session.findNext());
        QCOMPARE(session.hit(), QStringLiteral("Visa card"));
        // Old card's caption matches but counts as done once selected.
        session.select("Old card");
        QVERIFY(!session.findNext());
    }

    void anotherRecordSelectedAfterAFieldHitStartsWithItsFirstField()
    {
        Session session;
        QVERIFY(session.find("milk") && session.findNext());
        // Past Shopping's only field, on through the group into its records.
        QCOMPARE(session.hit(), QStringLiteral("Visa card"));
        QCOMPARE(session.counter(), 1);
        session.select("Shopping");
        QVERIFY(session.findNext());
        QCOMPARE(session.search.position().hitField.parent(), session.item("Shopping"));
        QCOMPARE(session.counter(), 1);
    }

    void fieldNamesAreSearchedOnlyWithTheOption()
    {
        Session session;
        QVERIFY(!session.find("secret"));
        QVERIFY(session.search.position().exhausted);
        QVERIFY(session.find("secret", true));
        QCOMPARE(session.hit(), QStringLiteral("Shopping"));
        QVERIFY(session.search.remembered().fieldNames);
    }

    void withoutItemsOrSelectionNothingIsFound()
    {
        Session empty("<data><note>no items</note></data>");
        QVERIFY(!empty.find("note") && !empty.findNext());
        QVERIFY(!empty.search.position().exhausted);
        QCOMPARE(empty.search.remembered().keyword, QString());

        Session session;
        QVERIFY(session.find("visa"));
        session.selected = pugi::xml_node();
        QVERIFY(!session.findNext());
        QVERIFY(session.search.position().exhausted);
    }
};

QTEST_GUILESS_MAIN(TestTreeSearch)
#include "tst_treesearch.moc"
