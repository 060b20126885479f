#include "document/DataDocument.h"
#include "document/StoredTextWriter.h"

#include <QTemporaryFile>
#include <QtTest>

namespace {

// levels groups, each inside the one before, holding inner at the bottom.
QByteArray nestedGroups(int levels, const QByteArray& inner = {})
{
    return "<data>" + QByteArray("<folder name='g' type='AUTO'>").repeated(levels) + inner
           + QByteArray("</folder>").repeated(levels) + "</data>";
}

} // namespace

class TestDataDocument : public QObject {
    Q_OBJECT

private slots:
    // pugixml may cut a text between two writes, even inside a CR LF pair.
    void lineBreaksCutBetweenWritesReadBackTheSame_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("pair in one piece") << QByteArrayList{"a\r\nb"} << QByteArray("a\r\nb\r\n");
        QTest::newRow("pair cut in two") << QByteArrayList{"a\r", "\nb"} << QByteArray("a&#13;&#10;b\r\n");
        QTest::newRow("CR ends the text") << QByteArrayList{"a\r"} << QByteArray("a&#13;\r\n");
        QTest::newRow("LF starts a piece") << QByteArrayList{"a", "\nb"} << QByteArray("a&#10;b\r\n");
    }

    void lineBreaksCutBetweenWritesReadBackTheSame()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(QByteArray, stored);
        struct Collect final : pugi::xml_writer {
            QByteArray text;
            void write(const void* data, size_t size) override
            {
                text.append(static_cast<const char*>(data), qsizetype(size));
            }
        } collect;
        {
            StoredTextWriter writer(collect);
            for (const QByteArray& piece : pieces)
                writer.write(piece.constData(), size_t(piece.size()));
            writer.finish();
        }
        QCOMPARE(collect.text, stored);
    }

    void newDocumentIsTheDataElementAlone()
    {
        DataDocument document;
        QCOMPARE(QString::fromUtf8(document.root().name()), QStringLiteral("data"));
        QVERIFY(!document.root().first_child());
        QCOMPARE(document.toText(), QByteArray("<data/>\r\n"));
        document.root().append_child("folder");
        document.clear();
        QVERIFY(!document.root().first_child());
    }

    void unusableTextIsRefusedAndContentKept_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not xml") << QByteArray("\x8f\x12garbage<");
        QTest::newRow("unclosed") << QByteArray("<data><folder name='a'>");
        QTest::newRow("other root") << QByteArray("<catalogue/>");
        QTest::newRow("text only") << QByteArray("just words");
    }

    void unusableTextIsRefusedAndContentKept()
    {
        QFETCH(QByteArray, text);
        DataDocument document;
        QVERIFY(document.loadText("<data><folder name='kept' type='AUTO'/></data>"));
        QString error;
        QVERIFY(!document.loadText(text, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(qText(document.root().child("folder").attribute("name")), QStringLiteral("kept"));
    }

    void contentIsIndependentOfTheTextItCameFrom()
    {
        QByteArray text("<data><record type='T'><label>Bank</label><field name='PIN'>1234</field></record></data>");
        DataDocument document;
        QVERIFY(document.loadText(text));
        // The caller reuses or wipes the text it did not move in.
        text.fill('x');
        const pugi::xml_node record = document.root().child("record");
        QCOMPARE(qText(record.child("label").text()), QStringLiteral("Bank"));
        // Values edited where they were parsed, shorter and longer than before.
        record.child("label").text().set("B");
        record.child("field").text().set("123456789");
        QCOMPARE(document.toText(), QByteArray("<data><record type=\"T\"><label>B</label>"
                                               "<field name=\"PIN\">123456789</field></record></data>\r\n"));

        QByteArray moved("<data><folder name='next' type='AUTO'/></data>");
        QVERIFY(document.loadText(std::move(moved)));
        QCOMPARE(qText(document.root().child("folder").attribute("name")), QStringLiteral("next"));
    }

    void whitespaceBetweenElementsIsNotKept()
    {
        DataDocument document;
        QVERIFY(document.loadText("<data>\r\n  <folder name='a' type='AUTO'>\r\n  </folder>\r\n  "
                                  "<record><label>  </label></record>\r\n</data>\r\n"));
        QCOMPARE(
            document.toText(),
            QByteArray(
                "<data><folder name=\"a\" type=\"AUTO\">\r\n  </folder><record><label>  </label></record></data>\r\n"));
    }

    void ownDeclarationBeforeTheDataElementIsAccepted()
    {
        DataDocument document;
        QVERIFY(document.loadText("<?xml version=\"1.0\"?><data><folder name='x'/></data>"));
        QCOMPARE(document.toText(), QByteArray("<data><folder name=\"x\"/></data>\r\n"));
    }

    void cdataBecomesEquivalentText()
    {
        DataDocument document;
        QVERIFY(document.loadText("<data><record><label/><field><![CDATA[a<b\nc]]></field></record></data>"));
        const QByteArray stored = document.toText();
        DataDocument reread;
        QVERIFY(reread.loadText(stored));
        QCOMPARE(qText(reread.root().child("record").child("field").text()), QStringLiteral("a<b\nc"));
        QCOMPARE(reread.toText(), stored);
    }

    // Content no saved file holds is stored as it will read back, so a saved
    // document always opens as the same document.
    void storedAsItReadsBack_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("whitespace by reference beside an element")
            << QByteArray("<field>a<b/>&#13;&#10;\t</field>") << QByteArray("<field>a<b/></field>");
        QTest::newRow("lone line break beside an element")
            << QByteArray("<field>&#10;<b/></field>") << QByteArray("<field>&#10;<b/></field>");
        QTest::newRow("whitespace alone")
            << QByteArray("<field> &#13;&#10;</field>") << QByteArray("<field> \r\n</field>");
        QTest::newRow("empty CDATA") << QByteArray("<label><![CDATA[]]></label>") << QByteArray("<label/>");
        QTest::newRow("text around a comment")
            << QByteArray("<label>a<!--c-->b</label>") << QByteArray("<label>ab</label>");
        QTest::newRow("CDATA beside text and elements")
            << QByteArray("<field><![CDATA[ ]]>x<b/><![CDATA[\r\n]]></field>") << QByteArray("<field> x<b/></field>");
        QTest::newRow("text before a group's items")
            << QByteArray("<folder>t<record/></folder>") << QByteArray("<folder>t<record/></folder>");
        QTest::newRow("CDATA after the data element") << QByteArray("<folder/></data><![CDATA[x]]><data><folder/>")
                                                      << QByteArray("<folder/></data><data><folder/>");
    }

    void storedAsItReadsBack()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, stored);
        DataDocument document;
        QVERIFY(document.loadText("<data>" + content + "</data>"));
        const QByteArray text = document.toText();
        QCOMPARE(text, "<data>" + stored + "</data>\r\n");
        DataDocument reread;
        QVERIFY(reread.loadText(text));
        QCOMPARE(reread.toText(), text);
    }

    // A reference to no character is not written back as bytes that are not
    // UTF-8: one such value would make the whole saved file read back as
    // Windows-1252, garbling every other non-ASCII text in it.
    void referencesToNoCharacterBecomeReplacementCharacters_data()
    {
        QTest::addColumn<QByteArray>("reference");
        QTest::newRow("surrogate") << QByteArray("&#xD800;");
        QTest::newRow("beyond U+10FFFF") << QByteArray("&#x110000;");
        QTest::newRow("number beyond 32 bits") << QByteArray("&#6444444444444444444444;");
    }

    void referencesToNoCharacterBecomeReplacementCharacters()
    {
        QFETCH(QByteArray, reference);
        DataDocument document;
        QVERIFY(document.loadText("<data><folder name='B\xc3\xbcro' type='AUTO'><record><label link='a" + reference
                                  + "b'/><field name='Smile' basic_type='TEXT'>&#x1F600;a" + reference
                                  + "b</field></record></folder></data><after name='" + reference + "'/>"));
        // Everything is saved, also what follows the data element.
        const QByteArray stored = document.toText();
        QVERIFY(stored.contains("<after"));
        DataDocument reread;
        QVERIFY(reread.loadText(stored));
        QCOMPARE(reread.toText(), stored);
        const pugi::xml_node folder = reread.root().child("folder");
        QCOMPARE(qText(folder.attribute("name")), QString::fromUtf8("B\xc3\xbcro"));
        const pugi::xml_node record = folder.child("record");
        const QString field = qText(record.child("field").text());
        const QString link = qText(record.child("label").attribute("link"));
        QVERIFY(field.contains(QChar::ReplacementCharacter));
        QCOMPARE(QString(field).remove(QChar::ReplacementCharacter), QString::fromUtf8("\xf0\x9f\x98\x80"
                                                                                       "ab"));
        QVERIFY(link.contains(QChar::ReplacementCharacter));
        QCOMPARE(QString(link).remove(QChar::ReplacementCharacter), QStringLiteral("ab"));
    }

    void nestingAndTreeSizeAreLimited_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("loads");
        const int limit = DataDocument::MaxNesting;
        QTest::newRow("groups to the limit") << nestedGroups(limit) << true;
        QTest::newRow("a record's fields at the limit")
            << nestedGroups(limit - 2, "<record><label/><field>text</field></record>") << true;
        QTest::newRow("one group too many") << nestedGroups(limit + 1) << false;
        QTest::newRow("a hundred thousand groups") << nestedGroups(100000) << false;
        QTest::newRow("elements deep inside a field")
            << "<data><record><label/><field>" + QByteArray("<b>").repeated(100000)
                   + QByteArray("</b>").repeated(100000) + "</field></record></data>"
            << false;
        // Dense legitimate content loads; text that is little but markup,
        // whose tree would be many times the file, is refused.
        const auto data = [](const QByteArray& item) { return "<data>" + item.repeated(100000) + "</data>"; };
        QTest::newRow("empty groups") << data("<folder name=\"\" type=\"\"/>") << true;
        QTest::newRow("records with empty fields")
            << data("<record parent_type=\"\" type=\"\"><label link=\"\"/><field name=\"\" basic_type=\"\"/></record>")
            << true;
        QTest::newRow("text between empty elements") << data("x<a/>") << false;
    }

    void nestingAndTreeSizeAreLimited()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, loads);
        DataDocument document;
        QString error;
        QCOMPARE(document.loadText(text, &error), loads);
        QCOMPARE(error.isEmpty(), loads);
        QCOMPARE(document.root().first_child().empty(), !loads);
    }

    // Declared entities are neither expanded nor fetched: references to them
    // stay as literal text, so a few hundred bytes stay a few hundred bytes.
    void declaredEntitiesStayLiteral()
    {
        QTemporaryFile outside;
        QVERIFY(outside.open());
        outside.write("contents of another file");
        outside.flush();
        QByteArray text = "<!DOCTYPE data [<!ENTITY lol0 \"lol\">";
        for (int n = 1; n <= 9; ++n) {
            text += "<!ENTITY lol" + QByteArray::number(n) + " \""
                    + ("&lol" + QByteArray::number(n - 1) + ";").repeated(10) + "\">";
        }
        text += "<!ENTITY outside SYSTEM \"file://" + QFile::encodeName(outside.fileName())
                + "\">]>"
                  "<data><record><label>&lol9;</label><field name='f'>&outside;</field></record></data>";

        DataDocument document;
        QVERIFY(document.loadText(text));
        const pugi::xml_node record = document.root().child("record");
        QCOMPARE(qText(record.child("label").text()), QStringLiteral("&lol9;"));
        QCOMPARE(qText(record.child("field").text()), QStringLiteral("&outside;"));
        QVERIFY(document.toText().size() < 200);
    }

    // Its speed is the bench's "parse one 50 MB value".
    void hugeValueLoadsLiterally()
    {
        const QByteArray name(50 * 1024 * 1024, 'n');
        DataDocument document;
        QVERIFY(document.loadText("<data><folder name='" + name + "' type='AUTO'/></data>"));
        QCOMPARE(qstrlen(document.root().child("folder").attribute("name").value()), size_t(name.size()));
    }
};

QTEST_GUILESS_MAIN(TestDataDocument)
#include "tst_datadocument.moc"
