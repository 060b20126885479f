#include "document/DataDocument.h"
#include "document/Schema.h"

#include "support/TestSupport.h"

#include <QtTest>

namespace {

pugi::xml_node firstRecord(DataDocument& document, const QByteArray& text)
{
    if (!document.loadText(text))
        qFatal("fixture text does not parse");
    return document.root().child("record");
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT

private slots:
    void recordCaption_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("caption");
        QTest::newRow("label text wins over fields")
            << QByteArray("<record parent_type='Car'><label link='Model'>My car</label>"
                          "<field name='Model'>Roadster</field></record>")
            << "My car";
        QTest::newRow("two link fields joined by a blank")
            << QByteArray("<record parent_type='Car'><label link='Model' link2='Plate'/>"
                          "<field name='Plate'>AB 123</field><field name='Model'>Roadster</field></record>")
            << "Roadster AB 123";
        QTest::newRow("empty first part: second alone, no blank")
            << QByteArray("<record parent_type='Car'><label link='Model' link2='Plate'/>"
                          "<field name='Model'></field><field name='Plate'>AB 123</field></record>")
            << "AB 123";
        QTest::newRow("no link2: the field with an empty name supplies it")
            << QByteArray("<record parent_type='Car'><label link='Model'/>"
                          "<field name='Model'>Roadster</field><field name=''>nameless</field></record>")
            << "Roadster nameless";
        QTest::newRow("no link2 and no nameless field") << QByteArray(
            "<record parent_type='Car'><label link='Model'/><field name='Model'>Roadster</field></record>")
                                                        << "Roadster";
        QTest::newRow("last field of a name wins")
            << QByteArray("<record parent_type='Car'><label link='Model'/>"
                          "<field name='Model'>first</field><field name='Model'>last</field></record>")
            << "last";
        QTest::newRow("empty links fall back to parent_type")
            << QByteArray("<record parent_type='Car'><label link='Model' link2='Plate'/>"
                          "<field name='Model'/><field name='Plate'/></record>")
            << "Car";
        QTest::newRow("link naming no field")
            << QByteArray("<record parent_type='Note'><label link='Missing'/><field name='Text'>x</field></record>")
            << "Note";
        QTest::newRow("label with markup is not a name")
            << QByteArray("<record parent_type='Note'><label link='Text'><b>bold</b></label>"
                          "<field name='Text'>plain</field></record>")
            << "plain";
        QTest::newRow("text before the label: the first child is no label")
            << QByteArray("<record parent_type='Note'>stray<label>Named</label><field name='Text'>x</field></record>")
            << "Note";
        QTest::newRow("label with text before markup is not a name")
            << QByteArray("<record parent_type='Note'><label link='Text'>named<b/></label>"
                          "<field name='Text'>plain</field></record>")
            << "plain";
        QTest::newRow("a field's first name counts")
            << QByteArray("<record parent_type='Note'><label link='Text'/>"
                          "<field name='Text' basic_type='TEXT' name='Other'>x</field></record>")
            << "x";
        QTest::newRow("names compare exactly")
            << QByteArray("<record parent_type='Note'><label link='text'/><field name='Text'>x</field></record>")
            << "Note";
    }

    void recordCaption()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, caption);
        DataDocument document;
        const pugi::xml_node element = firstRecord(document, "<data>" + record + "</data>");
        QCOMPARE(Schema::RecordCaption(element), caption);
        // A reader that looks at the fields once finds the same texts.
        const Schema::CaptionParts parts = Schema::recordCaptionParts(element);
        const Schema::CaptionParts fromFields = Schema::recordCaptionParts(element, Schema::storedFields(element));
        QCOMPARE(fromFields.first, parts.first);
        QCOMPARE(fromFields.second, parts.second);
    }

    // A caption cut short reads only the start of the text, and is the start
    // of the whole caption: in one, two, three and four byte characters, in
    // either part of a joined caption and at every cut near them.
    void captionCutShort_data()
    {
        QTest::addColumn<QByteArray>("item");
        const QByteArray euro = QString(40, QChar(0x20AC)).toUtf8();
        const QByteArray smiles = QString::fromUcs4(std::u32string(30, U'\U0001F600').c_str()).toUtf8();
        QTest::newRow("group name") << "<folder name='" + QByteArray(50, 'g') + "'/>";
        QTest::newRow("own name in three byte characters")
            << "<record parent_type='Note'><label>" + euro + "</label></record>";
        QTest::newRow("joined parts in four and one byte characters")
            << "<record parent_type='Car'><label link='A' link2='B'/><field name='A'>" + smiles
                   + "</field><field name='B'>" + QByteArray(20, 'b') + "</field></record>";
        QTest::newRow("second part alone, two byte characters")
            << "<record parent_type='Car'><label link='A' link2='B'/><field name='B'>"
                   + QString(25, QChar(0xE9)).toUtf8() + "</field></record>";
        QTest::newRow("parent_type") << QByteArray("<record parent_type='Bank account'><label link='A'/></record>");
    }

    void captionCutShort()
    {
        QFETCH(QByteArray, item);
        DataDocument document;
        QVERIFY(document.loadText("<data>" + item + "</data>"));
        const pugi::xml_node element = document.root().first_child();
        const QString whole = Schema::itemCaption(element);
        QVERIFY(!whole.isEmpty());
        for (qsizetype length = 0; length <= whole.size() + 2; ++length)
            QCOMPARE(Schema::itemCaption(element, length), whole.left(length));
    }

    void typeKeysChooseIcons_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("isRecord");
        QTest::addColumn<int>("icon");
        QTest::newRow("first group") << "AUTO" << false << 0;
        QTest::newRow("last group") << "VIP" << false << 7;
        QTest::newRow("unknown group") << "GARAGE" << false << 4;
        QTest::newRow("group key is case-sensitive") << "vip" << false << 4;
        QTest::newRow("record key on a group") << "NOTE" << false << 4;
        QTest::newRow("first record") << "DEFAULT" << true << 8;
        QTest::newRow("driver's license") << "DRIVER'S LICENSE" << true << 14;
        QTest::newRow("last record") << "WEB SITE" << true << 25;
        QTest::newRow("unknown record") << "BOAT" << true << 8;
        QTest::newRow("empty record key") << "" << true << 8;
    }

    void typeKeysChooseIcons()
    {
        QFETCH(QString, key);
        QFETCH(bool, isRecord);
        QFETCH(int, icon);
        QCOMPARE(Schema::TypeImageIndex(key, isRecord), icon);
    }

    void everyPositionMapsBackToItsKey()
    {
        for (bool isRecord : {false, true}) {
            const int count = isRecord ? Schema::RecordIconCount : Schema::GroupIconCount;
            const int first = isRecord ? Schema::FirstRecordIcon : 0;
            for (int position = 0; position < count; ++position)
                QCOMPARE(Schema::TypeImageIndex(Schema::TypeKeyForIndex(position, isRecord), isRecord),
                         first + position);
            QCOMPARE(Schema::TypeKeyForIndex(count, isRecord), QString());
            QCOMPARE(Schema::TypeKeyForIndex(-1, isRecord), QString());
        }
    }

    void treeShowsRecordsBeforeGroupsAtEveryLevel()
    {
        DataDocument document;
        QVERIFY(document.loadText(
            "<data>"
            "<folder name='G1'><folder name='G1a'/><record parent_type='R1a'><label/></record></folder>"
            "<record parent_type='R1'><label/></record>"
            "<note>not an item</note>"
            "<folder name='G2'/>"
            "<record parent_type='R2'><label/></record>"
            "</data>"));
        const QStringList expected = {"R1", "R2", "G1", "  R1a", "  G1a", "G2"};
        QCOMPARE(TestSupport::treeOutline(document.root()), expected);
    }

    void walkStopsWhenAsked()
    {
        DataDocument document;
        QVERIFY(document.loadText("<data><folder name='A'><folder name='B'/></folder><folder name='C'/></data>"));
        QStringList seen;
        Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
            seen << Schema::itemCaption(item);
            return seen.size() < 2;
        });
        QCOMPARE(seen, (QStringList{"A", "B"}));
    }

    void steppingVisitsTheItemsInTreeOrder()
    {
        DataDocument document;
        QVERIFY(document.loadText(
            "<data><folder name='G1'>"
            "<folder name='G1a'><folder name='G1a1'/><record parent_type='R1a1'><label/></record></folder>"
            "<record parent_type='R1a'><label/></record><folder name='G1b'/></folder>"
            "<record parent_type='R1'><label/><record parent_type='inside a record'><label/></record></record>"
            "<folder name='G2'><record parent_type='R2a'><label/></record></folder>"
            "<note/><record parent_type='R2'><label/></record></data>"));
        QStringList stepped;
        for (pugi::xml_node item = Schema::firstInTreeOrder(document.root()); item;
             item = Schema::nextInTreeOrder(item))
            stepped << Schema::itemCaption(item);
        QCOMPARE(stepped, TestSupport::treeOutline(document.root()).replaceInStrings(QStringLiteral("  "), QString()));
        QCOMPARE(stepped.last(), QStringLiteral("R2a"));

        QVERIFY(document.loadText("<data><note/></data>"));
        QVERIFY(!Schema::firstInTreeOrder(document.root()));
    }

    // Far deeper than a file may be: a walk recursing once per level would
    // not last on the small stack.
    void walkOfDeepGroupsNeedsNoStack()
    {
        constexpr int Levels = 100000;
        DataDocument document;
        pugi::xml_node group = document.root();
        for (int level = 0; level < Levels; ++level) {
            group = group.append_child(Schema::GroupElement);
            group.append_child(Schema::RecordElement).append_child(Schema::LabelElement);
        }
        std::vector<int> depths;
        QString kinds;
        TestSupport::runOnSmallStack([&] {
            Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int depth) {
                depths.push_back(depth);
                kinds += QLatin1Char(Schema::isRecord(item) ? 'R' : 'G');
                return true;
            });
        });
        // Each group, then one level down its record before the next group.
        std::vector<int> expected;
        for (int level = 0; level < Levels; ++level)
            expected.insert(expected.end(), {level, level + 1});
        QCOMPARE(kinds, QStringLiteral("GR").repeated(Levels));
        QVERIFY(depths == expected);
    }

    void recordFieldsFollowTheLabel()
    {
        DataDocument document;
        const pugi::xml_node record =
            firstRecord(document, "<data><record><label link='a'/><field name='a'/><field name='b'/></record></data>");
        const auto fields = Schema::recordFields(record);
        QCOMPARE(fields.size(), size_t(2));
        QCOMPARE(qText(fields[1].attribute("name")), QStringLiteral("b"));
        QVERIFY(Schema::recordFields(document.root().append_child("record")).empty());
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
