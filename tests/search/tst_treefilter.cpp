#include "document/DataDocument.h"
#include "document/Schema.h"
#include "search/TreeFilter.h"

#include <QtTest>

namespace {

const char* const Fixture =
    "<data><folder name='Bank'>"
    "<record><label>Visa card</label><field name='PIN' basic_type='NUMBER'>4711</field>"
    "<field name='Since' basic_type='DATE'>20240502:</field></record>"
    "<folder name='Old'><record><label>Giro</label><field name='Password' basic_type='TEXT'>Secret77</field>"
    "</record></folder></folder>"
    "<folder name='Shops'><record><label>Grocer</label><field name='Note' basic_type='TEXT'>milk</field>"
    "</record></folder>"
    "<folder name='Мир'><record><label link='Host' link2='User'/><field name='Host' basic_type='TEXT'>Straße</field>"
    "<field name='User' basic_type='TEXT'>Пётр</field></record></folder>"
    "<record><label>Loose</label></record></data>";

// The captions of the items the filter leaves, in tree order.
QString shown(const DataDocument& document, const TreeFilter& filter)
{
    QStringList captions;
    Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
        if (!filter.hides(item))
            captions << Schema::itemCaption(item);
        return true;
    });
    return captions.join(QLatin1Char(','));
}

} // namespace

class TestTreeFilter : public QObject {
    Q_OBJECT

private slots:
    void leavesMatchesWithTheirGroups_data()
    {
        QTest::addColumn<QStringList>("keywords"); // typed one after the other
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("first");
        QTest::newRow("secret value, any case") << QStringList{"secret"} << "Bank,Old,Giro"
                                                << "Giro";
        QTest::newRow("field name") << QStringList{"pin"} << "Bank,Visa card"
                                    << "Visa card";
        QTest::newRow("date as shown") << QStringList{"2024"} << "Bank,Visa card"
                                       << "Visa card";
        QTest::newRow("group caption keeps its content") << QStringList{"bank"} << "Bank,Visa card,Old,Giro"
                                                         << "Bank";
        QTest::newRow("narrowing") << QStringList{"s", "se", "sec"} << "Bank,Old,Giro"
                                   << "Giro";
        QTest::newRow("widening again") << QStringList{"secr", "m"} << "Shops,Grocer"
                                        << "Grocer";
        QTest::newRow("a key deleted widens again") << QStringList{"gi", "g"} << "Bank,Old,Giro,Shops,Grocer"
                                                    << "Giro";
        QTest::newRow("sharp s upper-cased to SS") << QStringList{"STRASSE"} << "Мир,Straße Пётр"
                                                   << "Straße Пётр";
        QTest::newRow("Cyrillic in any case") << QStringList{"ПЁ", "пётр"} << "Мир,Straße Пётр"
                                              << "Straße Пётр";
        QTest::newRow("caption across its two fields") << QStringList{"ße п"} << "Мир,Straße Пётр"
                                                       << "Straße Пётр";
        QTest::newRow("never across two texts") << QStringList{"11p"} << ""
                                                << "";
        QTest::newRow("nothing") << QStringList{"zzz"} << ""
                                 << "";
        QTest::newRow("cleared") << QStringList{"milk", ""}
                                 << "Loose,Bank,Visa card,Old,Giro,Shops,Grocer,Мир,Straße Пётр"
                                 << "";
    }
    void leavesMatchesWithTheirGroups()
    {
        QFETCH(QStringList, keywords);
        QFETCH(QString, shown);
        QFETCH(QString, first);
        DataDocument document;
        document.loadText(Fixture);
        TreeFilter filter;
        for (const QString& keyword : keywords)
            filter.apply(document.root(), keyword);
        QCOMPARE(::shown(document, filter), shown);
        QCOMPARE(Schema::itemCaption(filter.firstMatch()), first);
    }

    void anEditedDocumentIsLookedAtAgain()
    {
        DataDocument document;
        document.loadText(Fixture);
        TreeFilter filter;
        filter.apply(document.root(), QStringLiteral("g"));
        QCOMPARE(shown(document, filter), QStringLiteral("Bank,Old,Giro,Shops,Grocer"));
        document.root()
            .find_node([](const pugi::xml_node& node) { return Schema::itemCaption(node) == "Loose"; })
            .first_child()
            .text() = "Grape";
        filter.documentChanged();
        QCOMPARE(shown(document, filter), QStringLiteral("Bank,Old,Giro,Shops,Grocer"));
        filter.apply(document.root(), QStringLiteral("gr"));
        QCOMPARE(shown(document, filter), QStringLiteral("Grape,Shops,Grocer"));
    }
};

QTEST_GUILESS_MAIN(TestTreeFilter)
#include "tst_treefilter.moc"
