#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/CsvFormat.h"
#include "document/interchange/Interchange.h"
#include "document/interchange/KeePassXml.h"

#include "support/TestSupport.h"

#include <QBuffer>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/resource.h>

using Interchange::Format;
using NamedValues = QList<std::pair<QString, QString>>;

namespace {

// A subtree as lines: "G name" for a group, "R type|label" for a record and
// "  name:TYPE=value" for each of its fields, indented by depth.
QStringList described(const pugi::xml_node& element, int depth = 0)
{
    QStringList lines;
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const pugi::xml_node& item : Schema::treeChildren(element)) {
        if (Schema::isGroup(item)) {
            lines << indent + "G " + qText(item.attribute("name"));
            lines += described(item, depth + 1);
            continue;
        }
        lines << indent + "R " + qText(item.attribute("parent_type")) + "|" + qText(item.child("label").text());
        for (const pugi::xml_node& field : item.children("field"))
            lines << indent + "  " + qText(field.attribute("name")) + ":" + qText(field.attribute("basic_type")) + "="
                         + qText(field.text());
    }
    return lines;
}

// A record made as the new record window makes it, then given values.
void addRecord(const Catalogue& catalogue, pugi::xml_node parent, const QString& type, const QString& name,
               const NamedValues& values, const NamedValues& extraFields = {})
{
    const pugi::xml_node record =
        TreeEditing::appendRecord(parent, catalogue.FindTemplate(type), type, name, 0, QDateTime::currentDateTime());
    QVERIFY(record);
    for (const auto& [field, value] : values) {
        pugi::xml_node found = record.find_child_by_attribute("field", "name", field.toUtf8().constData());
        QVERIFY(found);
        found.text().set(value.toUtf8().constData());
    }
    for (const auto& [typedName, value] : extraFields) {
        const QStringList parts = typedName.split(':');
        QVERIFY(TreeEditing::appendField(record, parts[0], parts[1], {}).text().set(value.toUtf8().constData()));
    }
}

QByteArray exported(const DataDocument& document, Format format)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!Interchange::exportDocument(document, format, out, "Mine").written)
        return {};
    return out.data();
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

class TestInterchange : public QObject {
    Q_OBJECT

private:
    Catalogue m_catalogue;

private slots:
    void initTestCase() { QVERIFY(m_catalogue.LoadCatalogue(TestSupport::sourceDir() + "/data/config.xml")); }

    void formatIsToldByExtensionThenContent_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<Format>("format");
        QTest::newRow("xml extension") << "Export.XML" << QByteArray("Title,URL") << Format::KeePassXml;
        QTest::newRow("csv extension") << "a.csv" << QByteArray("<KeePassFile>") << Format::Csv;
        QTest::newRow("XML content after a mark and blanks")
            << "export" << QByteArray("\xEF\xBB\xBF \r\n<?xml") << Format::KeePassXml;
        QTest::newRow("anything else is CSV") << "export.txt" << QByteArray("name,url") << Format::Csv;
    }

    void formatIsToldByExtensionThenContent()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, start);
        QFETCH(Format, format);
        QCOMPARE(Interchange::formatOf(fileName, start), format);
    }

    void csvRowsAreReadAsRfc4180Says_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("quotes, doubled quotes, commas")
            << QByteArray("a,\"b,\"\"c\"\"\",\"\"\r\n") << QList<QStringList>{{"a", "b,\"c\"", ""}};
        QTest::newRow("line breaks inside a value, LF rows")
            << QByteArray("x,\"one\ntwo\r\nthree\"\ny,z") << QList<QStringList>{{"x", "one\ntwo\r\nthree"}, {"y", "z"}};
        QTest::newRow("byte order mark, empty lines, empty cells")
            << QByteArray("\xEF\xBB\xBFh1,h2\r\n\r\n,\r\n") << QList<QStringList>{{"h1", "h2"}, {"", ""}};
        QTest::newRow("a byte order mark inside values is a character")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a,\"b\"\"\xEF\xBB\xBF\xEF\xBB\xBF\"\n")
            << QList<QStringList>{{QString(QChar(0xFEFF)) + "a", QString("b\"") + QChar(0xFEFF) + QChar(0xFEFF)}};
        QTest::newRow("non-ASCII unquoted") << QByteArray("Пароль,Grüße\n")
                                            << QList<QStringList>{{QString::fromUtf8("Пароль"), QString::fromUtf8("Grüße")}};
    }

    void csvRowsAreReadAsRfc4180Says()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QStringList>, rows);
        CsvReader reader(text);
        QList<QStringList> read;
        while (const auto row = reader.nextRow())
            read << *row;
        QCOMPARE(reader.error(), QString());
        QCOMPARE(read, rows);
        // Written again, they read back the same.
        QByteArray written;
        for (const QStringList& row : rows)
            written += CsvFormat::row(row);
        CsvReader again(written);
        for (const QStringList& row : rows)
            QCOMPARE(again.nextRow(), std::optional<QStringList>(row));
    }

    void malformedInputIsRefusedNamingWhere_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("error");
        QTest::newRow("unclosed quote") << Format::Csv << QByteArray("Title,Notes\nA,\"open\nstill open\n")
                                        << "line 2: a quoted value is not closed";
        QTest::newRow("more cells than the header")
            << Format::Csv << QByteArray("Title,URL\r\nA,b\r\n\"B\nB\",c,d\r\n")
            << "line 3: 3 values where the header names 2 columns";
        QTest::newRow("text after a closing quote") << Format::Csv << QByteArray("Title\n\"A\"B\n")
                                                    << "line 2: text after the closing quote of a value";
        QTest::newRow("no header") << Format::Csv << QByteArray("\r\n") << "line 1: no header line";
        QTest::newRow("not KeePass XML") << Format::KeePassXml << QByteArray("<data><folder/></data>")
                                         << "the document element is <data>, not <KeePassFile>";
        QTest::newRow("no Root") << Format::KeePassXml << QByteArray("<KeePassFile><Meta/></KeePassFile>")
                                 << "<KeePassFile> has no <Root>";
        QTest::newRow("not well-formed") << Format::KeePassXml << QByteArray("<KeePassFile>\n<Root>\n</KeePassFile>")
                                         << "line 3: Start-end tags mismatch";
        // A program's own files, whatever format they are taken for.
        const QString keePass = "a KeePass database, not an export; export it as XML in KeePass or KeePassXC first";
        QTest::newRow("KeePass 2 database") << Format::Csv << QByteArray("\x03\xd9\xa2\x9a\x67\xfb\x4b\xb5\x01\x00", 10)
                                            << keePass;
        QTest::newRow("KeePass 1 database") << Format::KeePassXml << QByteArray("\x03\xd9\xa2\x9a\x65\xfb\x4b\xb5")
                                            << keePass;
        QTest::newRow("other binary file") << Format::Csv << QByteArray("PK\x03\x04\x14\x00", 6)
                                           << "not a text file but a program's own; export its entries as XML in "
                                              "that program first";
        const int tooDeep = DataDocument::MaxNesting + 1;
        QTest::newRow("groups nested too deep")
            << Format::KeePassXml
            << "<KeePassFile><Root>" + QByteArray("<Group>").repeated(tooDeep) + QByteArray("</Group>").repeated(tooDeep)
                   + "</Root></KeePassFile>"
            << "<Group> nested more than 1000 levels deep";
    }

    void malformedInputIsRefusedNamingWhere()
    {
        QFETCH(Format, format);
        QFETCH(QByteArray, input);
        QFETCH(QString, error);
        DataDocument document;
        TreeEditing::appendGroup(document.root(), "Existing", 0);
        const QByteArray before = document.toText();
        const Interchange::ImportResult result = Interchange::importInto(document, m_catalogue, format, input, "in");
        QCOMPARE(result.error, error);
        QCOMPARE(document.toText(), before);
    }

    void documentsSurviveTheRoundTrip_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("KeePass XML") << Format::KeePassXml;
        QTest::newRow("CSV") << Format::Csv;
    }

    void documentsSurviveTheRoundTrip()
    {
        QFETCH(Format, format);
        DataDocument original;
        const pugi::xml_node top = original.root();
        addRecord(m_catalogue, top, "Web Site", QString::fromUtf8("Почта, \"main\""),
                  {{"URL", "https://mail.example"}, {"Login", QString::fromUtf8("jürgen")}, {"Password", "p,w\"d"},
                   {"E-Mail", "j@mail.example"}, {"Notes", "first line\r\nsecond line\r\n"}},
                  {{"Recovery codes:LONG TEXT", "111\r\n222\r\n"}, {"Empty:TEXT", ""}, {"Hint:TEXT", "blue & <green>"}, {"name:TEXT", "nick"}});
        const pugi::xml_node work = TreeEditing::appendGroup(top, QString::fromUtf8("Arbeit & Büro"), 0);
        addRecord(m_catalogue, work, "Password", "Router", {{"Service", "Router"}, {"Login", "admin"}, {"Password", "x"}});
        const pugi::xml_node deeper = TreeEditing::appendGroup(work, "Deeper", 0);
        addRecord(m_catalogue, deeper, "Password", "Old box", {{"Service", "box.lan"}, {"Notes", "a\r\n"}});

        DataDocument imported;
        const Interchange::ImportResult result =
            Interchange::importInto(imported, m_catalogue, format, exported(original, format), "Mine");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.summary(), "Imported 3 records in 3 groups.");
        QStringList expected = described(original.root());
        // A CSV cell cannot tell an empty value from none: empty extras are left out.
        if (format == Format::Csv)
            expected.removeAll("  Empty:TEXT=");
        QCOMPARE(described(result.group), expected);
    }

    void commonExportShapesAreRead_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("tree");
        // Written from the published column lists of each kind of file.
        QTest::newRow("browser CSV")
            << Format::Csv << QByteArray("\xEF\xBB\xBFname,url,username,password,note\r\n"
                                         "Shop,https://shop.example/login,jo,s3cr3t,\r\n"
                                         "Local,,pi,raspberry,\"ssh only\nport 22\"\r\n")
            << "Imported 2 records in 1 group."
            << QStringList{"R Web Site|Shop", "  URL:TEXT=https://shop.example/login", "  Login:TEXT=jo",
                           "  Password:TEXT=s3cr3t", "  E-Mail:E-MAIL=", "  Notes:LONG TEXT=",
                           "R Password|Local", "  Service:TEXT=Local", "  Login:TEXT=pi", "  Password:TEXT=raspberry",
                           "  Notes:LONG TEXT=ssh only\r\nport 22\r\n"};
        QTest::newRow("CSV with folders and login_ columns")
            << Format::Csv
            << QByteArray("folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
                          "Work\\Mail,1,login,Mail,,,0,https://m.example,jo,pw,JBSWY3DP\n")
            << "Imported 1 record in 3 groups."
            << QStringList{"G Work", "  G Mail", "    R Web Site|Mail", "      URL:TEXT=https://m.example",
                           "      Login:TEXT=jo", "      Password:TEXT=pw", "      E-Mail:E-MAIL=",
                           "      Notes:LONG TEXT=", "      favorite:TEXT=1", "      type:TEXT=login",
                           "      reprompt:TEXT=0", "      login_totp:TEXT=JBSWY3DP"};
        QTest::newRow("CSV with grouping and extra")
            << Format::Csv << QByteArray("url,username,password,totp,extra,name,grouping,fav\r\n"
                                         "http://sn,,,,\"Secure note\r\nbody\",Note,Personal,0\r\n")
            << "Imported 1 record in 2 groups."
            << QStringList{"G Personal", "  R Web Site|Note", "    URL:TEXT=http://sn", "    Login:TEXT=",
                           "    Password:TEXT=", "    E-Mail:E-MAIL=", "    Notes:LONG TEXT=Secure note\r\nbody\r\n",
                           "    fav:TEXT=0"};
        QTest::newRow("KeePass XML with what cannot be carried")
            << Format::KeePassXml
            << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeePassFile><Meta><Generator>x</Generator></Meta>"
                          "<Root><Group><Name>Database</Name><CustomIconUUID>AA==</CustomIconUUID>"
                          "<Entry><String><Key>Title</Key><Value>Bank</Value></String>"
                          "<String><Key>Password</Key><Value Protected=\"True\">pin&amp;pw</Value></String>"
                          "<String><Key>PIN</Key><Value>1234</Value></String>"
                          "<String><Key>otp</Key><Value>otpauth://totp/x</Value></String>"
                          "<Binary><Key>scan.pdf</Key><Value Ref=\"0\"/></Binary><Binary><Key>b</Key><Value Ref=\"1\"/></Binary>"
                          "<Tags>money</Tags><Times><Expires>True</Expires></Times>"
                          "<History><Entry/><Entry/><Entry/></History></Entry>"
                          "<Group><Name>Empty</Name></Group></Group></Root></KeePassFile>")
            << "Imported 1 record in 2 groups; 2 attachments, 3 history entries, 1 custom icon, 1 expiry date and "
               "1 entry's tags were not imported."
            << QStringList{"R Password|Bank", "  Service:TEXT=Bank", "  Login:TEXT=", "  Password:TEXT=pin&pw",
                           "  Notes:LONG TEXT=", "  PIN:TEXT=1234", "  otp:TEXT=otpauth://totp/x", "G Empty"};
    }

    void commonExportShapesAreRead()
    {
        QFETCH(Format, format);
        QFETCH(QByteArray, input);
        QFETCH(QString, summary);
        QFETCH(QStringList, tree);
        DataDocument document;
        std::pair<qsizetype, qsizetype> lastProgress;
        const Interchange::ImportResult result = Interchange::importInto(
            document, m_catalogue, format, input, "file",
            [&](qsizetype done, qsizetype total) { lastProgress = {done, total}; });
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.summary(), summary);
        QCOMPARE(lastProgress, std::make_pair(qsizetype(result.records), qsizetype(result.records)));
        QCOMPARE(qText(result.group.attribute("name")), "file");
        QCOMPARE(described(result.group), tree);
    }

    void recordsAreWrittenByFieldRole_data()
    {
        QTest::addColumn<NamedValues>("fields"); // "name:TYPE", stored value
        QTest::addColumn<QStringList>("entry"); // user name, password, address, notes, then extras
        QTest::newRow("first login and secret, the rest extras, names made unique")
            << NamedValues{{"E-Mail:E-MAIL", "a@b.c"}, {"Login:TEXT", "jo"},
                                                  {"PIN:NUMBER", "1234"}, {"Online Password:TEXT", "pw"},
                                                  {"Title:TEXT", "t"}, {"Hint:TEXT", "h1"}, {"Hint:TEXT", "h2"},
                                                  {"Download URL:TEXT", "https://d.example"}}
            << QStringList{"a@b.c", "1234", "https://d.example", "", "Login=jo", "Online Password=pw",
                           "Title (2)=t", "Hint=h1", "Hint (2)=h2"};
        QTest::newRow("dates and times in ISO form, long text without stored breaks")
            << NamedValues{{"Expiry:DATE", "20240502:"}, {"Opens At:TIME", "143005."},
                                                  {"Notes:LONG TEXT", "one\r\ntwo\r\n"}, {"Bad:DATE", "soon"}}
            << QStringList{"", "", "", "one\ntwo", "Expiry=2024-06-03", "Opens At=14:30:05", "Bad=soon"};
    }

    void recordsAreWrittenByFieldRole()
    {
        QFETCH(NamedValues, fields);
        QFETCH(QStringList, entry);
        DataDocument document;
        pugi::xml_node record = document.root().append_child("record");
        record.append_child("label").text().set("Caption");
        for (const auto& [typedName, value] : fields) {
            const QStringList parts = typedName.split(':');
            QVERIFY(TreeEditing::appendField(record, parts[0], parts[1], {}).text().set(value.toUtf8().constData()));
        }
        const ForeignEntry written = Interchange::EntryMaker().entryOf(record);
        QStringList actual{written.userName, written.password, written.url, written.notes};
        for (const auto& [name, value] : written.extras)
            actual << name + "=" + value;
        QCOMPARE(written.title, "Caption");
        QCOMPARE(actual, entry);
        QStringList extraNames;
        for (const auto& extra : written.extras)
            extraNames << extra.first;
        QCOMPARE(Interchange::EntryMaker().extraNamesOf(record), extraNames);
    }

    // Rows come as the export meets records, each level's records before its
    // groups; the header names every other string in the order first met.
    void csvFollowsTheTreeLevelByLevel()
    {
        DataDocument document;
        pugi::xml_node top = document.root();
        const pugi::xml_node work = TreeEditing::appendGroup(top, "Work", 0);
        addRecord(m_catalogue, work, "Password", "Router", {{"Service", "Router"}}, {{"Pin:TEXT", "1"}});
        addRecord(m_catalogue, TreeEditing::appendGroup(work, "Lab", 0), "Password", "Scope", {{"Service", "Scope"}},
                  {{"Room:TEXT", "2"}});
        addRecord(m_catalogue, top, "Password", "Home", {{"Service", "Home"}}, {{"Room:TEXT", "3"}});
        // After the group in the document, before it in the file.
        QVERIFY(top.append_move(top.child(Schema::RecordElement)));
        QVERIFY(Schema::isRecord(top.last_child()));
        const QByteArray text = exported(document, Format::Csv);
        CsvReader reader(text);
        QStringList rows;
        while (const std::optional<QStringList> cells = reader.nextRow())
            rows << cells->join('|');
        QCOMPARE(rows, QStringList({"Group|Title|Username|Password|URL|Notes|Service|Room|Pin",
                                    "|Home|||||Home|3|", "Work|Router|||||Router||1", "Work/Lab|Scope|||||Scope|2|"}));
    }

    void keePassXmlHoldsOnlyWhatXmlAllows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        const QChar replaced = QChar::ReplacementCharacter;
        QTest::newRow("control characters") << QString("a") + QChar(1) + "b" + QChar(0) + QChar(0x1B)
                                             << QString("a%1b%1%1").arg(replaced);
        QTest::newRow("lone surrogates") << QString(QChar(0xDC00)) + "y" + QChar(0xD800) << QString("%1y%1").arg(replaced);
        QTest::newRow("U+FFFE and U+FFFF") << QString("x") + QChar(0xFFFE) + QChar(0xFFFF) << QString("x%1%1").arg(replaced);
        const QString allowed = QString::fromUtf8("a\tb\nc\r\U0001F600\uE000") + replaced;
        QTest::newRow("tab, line breaks, a pair and the private area") << allowed << allowed;
    }

    void keePassXmlHoldsOnlyWhatXmlAllows()
    {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        // The text as group name, title, password, extra name and extra value.
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        KeePassXml::Writer writer(out);
        writer.beginGroup("Root");
        writer.beginGroup("G" + text);
        writer.entry(ForeignEntry{text, {}, text, {}, {}, {{"k" + text, text}}});
        writer.endGroup();
        writer.endGroup();
        QVERIFY(writer.finish());
        const KeePassXml::Replacements& replacements = writer.replacements();
        QXmlStreamReader strict(out.data());
        while (!strict.atEnd())
            strict.readNext();
        QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));
        QCOMPARE(replacements.texts, text == readBack ? 0 : 5);
        QCOMPARE(replacements.firstPlace, text == readBack ? QString() : "G" + readBack);

        ForeignGroup again;
        NotCarried notCarried;
        QVERIFY(KeePassXml::read(out.data(), again, notCarried, nullptr));
        const ForeignEntry& read = again.groups.front().entries.front();
        QCOMPARE(QStringList({again.groups.front().name, read.title, read.password, read.extras.value(0).first,
                              read.extras.value(0).second}),
                 QStringList({"G" + readBack, readBack, readBack, "k" + readBack, readBack}));
    }

    void aHundredMegabyteValueStaysWithinASmallMultiple()
    {
        constexpr qsizetype Size = 100 * 1024 * 1024;
        QByteArray input = "Title,Notes\r\nBig,\"";
        input += QByteArray(Size, 'x');
        input += "\"\r\n";
        const long before = peakMegabytes();
        DataDocument document;
        const Interchange::ImportResult result = Interchange::importInto(document, m_catalogue, Format::Csv, input, "big");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(qstrlen(result.group.first_child().find_child_by_attribute("name", "Notes").text().get()),
                 size_t(Size + 2));
        // The value in UTF-16 and in its stored form, the stored UTF-8 and the
        // document's copy come to about five times its size; a sanitizer's
        // quarantine of freed blocks adds more. Another copy or two of the
        // whole value would show.
        QVERIFY2(peakMegabytes() - before < 8 * 100, qPrintable(QString::number(peakMegabytes() - before)));
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
