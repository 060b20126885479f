#include "document/DataDocument.h"
#include "document/TreeEditing.h"
#include "document/interchange/GroupText.h"

#include <QtTest>

#include <functional>

using Steps = std::function<void(GroupText&)>;

class TestGroupText : public QObject {
    Q_OBJECT

private slots:
    void keepsEachGroupsOrder_data();
    void keepsEachGroupsOrder();
    void valuesReadBackExactly_data();
    void valuesReadBackExactly();
    void utf16IsWrittenAsItsUtf8Is_data();
    void utf16IsWrittenAsItsUtf8Is();
};

void TestGroupText::keepsEachGroupsOrder_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("deepest");
    const auto tag = [](const char* name) { return GroupText::openingTagOf(name, "NOTYPE"); };
    QTest::newRow("nothing in it") << Steps([](GroupText&) {}) << QByteArray("<folder name=\"Top\" type=\"NOTYPE\"/>")
                                   << 1;
    QTest::newRow("items before and after a subgroup")
        << Steps([tag](GroupText& text) {
               text.write(GroupText::Top, "<record>1</record>");
               const GroupText::Id a = text.addGroup(GroupText::Top, tag("A"));
               text.write(GroupText::Top, "<record>2</record>");
               text.write(a, "<record>a</record>");
           })
        << QByteArray("<folder name=\"Top\" type=\"NOTYPE\"><record>1</record><folder name=\"A\" type=\"NOTYPE\">"
                      "<record>a</record></folder><record>2</record></folder>")
        << 2;
    QTest::newRow("an earlier group written to last")
        << Steps([tag](GroupText& text) {
               const GroupText::Id a = text.addGroup(GroupText::Top, tag("A"));
               const GroupText::Id b = text.addGroup(a, tag("B"));
               text.addGroup(GroupText::Top, tag("C"));
               text.write(b, "<record>b</record>");
               text.write(a, "<record>a</record>");
           })
        << QByteArray("<folder name=\"Top\" type=\"NOTYPE\"><folder name=\"A\" type=\"NOTYPE\"><folder name=\"B\" "
                      "type=\"NOTYPE\"><record>b</record></folder><record>a</record></folder><folder name=\"C\" "
                      "type=\"NOTYPE\"/></folder>")
        << 3;
}

void TestGroupText::keepsEachGroupsOrder()
{
    QFETCH(Steps, steps);
    GroupText text(GroupText::openingTagOf("Top", "NOTYPE"));
    steps(text);
    int deepest = 0;
    for (GroupText::Id id = 0; id < text.groupCount(); ++id)
        deepest = std::max(deepest, text.levelOf(id));
    QTEST(deepest, "deepest");
    QFETCH(QByteArray, expected);
    QCOMPARE(text.take("<data>", "</data>"), "<data>" + expected + "</data>");
}

void TestGroupText::valuesReadBackExactly_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("markup") << QByteArray("a<b>&c\"d'e");
    QTest::newRow("line breaks and tabs") << QByteArray("one\r\ntwo\nthree\r\tfour");
    QTest::newRow("blanks only") << QByteArray("  ");
    QTest::newRow("not Latin") << QByteArray("пароль 密码 \xF0\x9F\x94\x91");
    QTest::newRow("control characters") << QByteArray("\x01\x1f-");
}

void TestGroupText::valuesReadBackExactly()
{
    QFETCH(QByteArray, value);
    QByteArray fieldStart("<record><field name=\"");
    GroupText::appendEscaped(fieldStart, value, GroupText::Place::Attribute);
    fieldStart += "\">";
    GroupText text(GroupText::openingTagOf(value, "NOTYPE"));
    text.write(GroupText::Top, fieldStart);
    text.writeEscaped(GroupText::Top, QString::fromUtf8(value));
    text.write(GroupText::Top, "</field></record>");
    const QByteArray written = text.take();
    DataDocument document;
    const pugi::xml_node group = TreeEditing::appendStored(document.root(), written);
    QVERIFY(group);
    // Written just as the document writes it, so saving changes nothing.
    QCOMPARE(document.toText(), "<data>" + written + "</data>\r\n");
    const pugi::xml_node field = group.child("record").child("field");
    QCOMPARE(QByteArray(group.attribute("name").value()), value);
    QCOMPARE(QByteArray(field.attribute("name").value()), value);
    QCOMPARE(QByteArray(DataDocument::onlyText(field)), value);
    // And once more after the document is written and read back.
    DataDocument reread;
    QVERIFY(reread.loadText(document.toText()));
    QCOMPARE(QByteArray(DataDocument::onlyText(reread.root().child("folder").child("record").child("field"))), value);
}

void TestGroupText::utf16IsWrittenAsItsUtf8Is_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("markup and controls") << QString::fromUtf8("a<b>&c\"d\x01\x1f\r\n\t-");
    QTest::newRow("two and three bytes") << QString::fromUtf8("é ß пароль 密码");
    QTest::newRow("surrogate pair") << QString::fromUtf8("\xF0\x9F\x94\x91x");
    QTest::newRow("lone surrogates") << QStringView(u"a\xD83D\x62\xDC11\x63\xD83D").toString();
    QTest::newRow("the bounds of each length") << QStringView(u"\x7F\x80\x7FF\x800\xFFFF").toString();
}

// Values in UTF-16 take the one-pass way into the text: it must write just
// what their UTF-8 writes. A value larger than the text's blocks stands
// between two others, and another group is written to in between, so runs
// cannot always grow where they are.
void TestGroupText::utf16IsWrittenAsItsUtf8Is()
{
    QFETCH(QString, value);
    const QString large = value.repeated(2 * 1024 * 1024 / value.size() + 1);
    GroupText text(GroupText::openingTagOf("Top", "NOTYPE"));
    const GroupText::Id other = text.addGroup(GroupText::Top, GroupText::openingTagOf("Other", "NOTYPE"));
    QByteArray expected = GroupText::openingTagOf("Top", "NOTYPE") + GroupText::openingTagOf("Other", "NOTYPE")
                          + QByteArray("<record/>").repeated(3) + "</folder>";
    for (const QString& written : {value, large, value}) {
        text.write(GroupText::Top, "<record>");
        text.write(other, "<record/>");
        text.writeEscaped(GroupText::Top, QStringView(written));
        text.write(GroupText::Top, "</record>");
        expected += "<record>";
        GroupText::appendEscaped(expected, written.toUtf8(), GroupText::Place::Text);
        expected += "</record>";
    }
    QCOMPARE(text.take(), expected + "</folder>");
}

QTEST_GUILESS_MAIN(TestGroupText)
#include "tst_grouptext.moc"
