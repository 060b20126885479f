#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/CsvEntries.h"
#include "document/interchange/CsvReader.h"
#include "document/interchange/ExportSteps.h"
#include "document/interchange/Interchange.h"
#include "document/interchange/KeePassXml.h"
#include "document/interchange/WipedOutput.h"

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

// A subtree as lines: "G name" for a group, "type|caption: name=value; ..."
// for a record with its fields that have values, but those of Date and Time
// (the moment of import), line breaks as "\n"; indented by depth.
QStringList compact(const pugi::xml_node& element, int depth = 0)
{
    QStringList lines;
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const pugi::xml_node& item : Schema::treeChildren(element)) {
        if (Schema::isGroup(item)) {
            lines << indent + "G " + qText(item.attribute("name")) << compact(item, depth + 1);
            continue;
        }
        QStringList fields;
        for (const pugi::xml_node& field : item.children("field")) {
            const QString type = qText(field.attribute("basic_type"));
            if (!qText(field.text()).isEmpty() && type != "DATE" && type != "TIME")
                fields << qText(field.attribute("name")) + "="
                              + (type == "LONG TEXT" ? longTextLines(qText(field.text())).join("\\n")
                                                     : qText(field.text()));
        }
        lines << indent + qText(item.attribute("parent_type")) + "|" + qText(item.child("label").text()) + ": "
                     + fields.join("; ");
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

// Whether an import written straight into a new file is the text that
// saving the document it makes would write: the same file either way.
bool writtenAsSaved(const Catalogue& catalogue, const QByteArray& input, const QString& groupName,
                    const DataDocument& imported)
{
    Interchange::ImportedDocument direct = Interchange::readDocument(catalogue, std::nullopt, input, groupName);
    QByteArray text;
    direct.appendText(text);
    return direct.result.ok() && text == imported.toText();
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

    void formatIsToldByContent_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<Format>("format");
        QTest::newRow("KeePass XML after a mark, blanks and a declaration")
            << QByteArray("\xEF\xBB\xBF \r\n<?xml version=\"1.0\"?><!-- x --><KeePassFile>") << Format::KeePassXml;
        QTest::newRow("Password Safe XML")
            << QByteArray("<?xml?>\n<passwordsafe delimiter=\"x\">") << Format::PasswordSafeXml;
        QTest::newRow("JSON") << QByteArray(" {\"encrypted\": false") << Format::BitwardenJson;
        QTest::newRow("anything else is CSV") << QByteArray("name,url") << Format::Csv;
    }

    void formatIsToldByContent()
    {
        QFETCH(QByteArray, start);
        QFETCH(Format, format);
        QCOMPARE(Interchange::formatOf(start), format);
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
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                          "a,\"b\"\"\xEF\xBB\xBF\xEF\xBB\xBF\"\n")
            << QList<QStringList>{{QString(QChar(0xFEFF)) + "a", QString("b\"") + QChar(0xFEFF) + QChar(0xFEFF)}};
        QTest::newRow("non-ASCII unquoted")
            << QByteArray("Пароль,Grüße\n")
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
        QTest::newRow("more cells than the header") << Format::Csv << QByteArray("Title,URL\r\nA,b\r\n\"B\nB\",c,d\r\n")
                                                    << "line 3: 3 values where the header names 2 columns";
        QTest::newRow("text after a closing quote")
            << Format::Csv << QByteArray("Title\n\"A\"B\n") << "line 2: text after the closing quote of a value";
        QTest::newRow("no header") << Format::Csv << QByteArray("\r\n") << "line 1: no header line";
        QTest::newRow("not KeePass XML") << Format::KeePassXml << QByteArray("<data><folder/></data>")
                                         << "the document element is <data>, not <KeePassFile>";
        QTest::newRow("no Root") << Format::KeePassXml << QByteArray("<KeePassFile><Meta/></KeePassFile>")
                                 << "<KeePassFile> has no <Root>";
        QTest::newRow("not well-formed") << Format::KeePassXml << QByteArray("<KeePassFile>\n<Root>\n</KeePassFile>")
                                         << "line 3: Start-end tags mismatch";
        // A program's own files, whatever format they are taken for.
        const QString keePass = "a KeePass database, not an export; export it as XML in KeePass or KeePassXC first";
        QTest::newRow("KeePass 2 database")
            << Format::Csv << QByteArray("\x03\xd9\xa2\x9a\x67\xfb\x4b\xb5\x01\x00", 10) << keePass;
        QTest::newRow("KeePass 1 database")
            << Format::KeePassXml << QByteArray("\x03\xd9\xa2\x9a\x65\xfb\x4b\xb5") << keePass;
        QTest::newRow("other binary file") << Format::Csv << QByteArray("PK\x03\x04\x14\x00", 6)
                                           << "not a text file but a program's own; export its entries as XML in "
                                              "that program first";
        const int tooDeep = DataDocument::MaxNesting + 1;
        QTest::newRow("groups nested too deep")
            << Format::KeePassXml
            << "<KeePassFile><Root>" + QByteArray("<Group>").repeated(tooDeep)
                   + QByteArray("</Group>").repeated(tooDeep) + "</Root></KeePassFile>"
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

    // Read on one thread and written on another, an import is still refused
    // where a record would lie deeper than a document may nest.
    void deepGroupPathsEndWhereTheDocumentDoes_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<QString>("error");
        // Below the new top group: the groups, the record, its fields.
        const int deepest = DataDocument::MaxNesting - 3;
        QTest::newRow("as deep as a record may lie") << deepest << QString();
        QTest::newRow("one level deeper") << deepest + 1 << "line 3: groups nested too deep";
    }

    void deepGroupPathsEndWhereTheDocumentDoes()
    {
        QFETCH(int, levels);
        QFETCH(QString, error);
        const QByteArray path = QByteArray("g/").repeated(levels).chopped(1);
        const QByteArray input = "Group,Title\r\nshallow,first\r\n" + path + ",deep\r\nshallow,last\r\n";
        DataDocument document;
        const Interchange::ImportResult result =
            Interchange::importInto(document, m_catalogue, Format::Csv, input, "in");
        QCOMPARE(result.error, error);
        QCOMPARE(result.records, error.isEmpty() ? 3 : 0);
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
                  {{"URL", "https://mail.example"},
                   {"Login", QString::fromUtf8("jürgen")},
                   {"Password", "p,w\"d"},
                   {"E-Mail", "j@mail.example"},
                   {"Notes", "first line\r\nsecond line\r\n"}},
                  {{"Recovery codes:LONG TEXT", "111\r\n222\r\n"},
                   {"Empty:TEXT", ""},
                   {"Hint:TEXT", "blue & <green>"},
                   {"name:TEXT", "nick"},
                   {"otp:TEXT", "otpauth://totp/m?secret=JBSWY3DP"}});
        const pugi::xml_node work = TreeEditing::appendGroup(top, QString::fromUtf8("Arbeit & Büro"), 0);
        addRecord(m_catalogue, work, "Password", "Router",
                  {{"Service", "Router"}, {"Login", "admin"}, {"Password", "x"}});
        const pugi::xml_node deeper = TreeEditing::appendGroup(work, "Deeper", 0);
        addRecord(m_catalogue, deeper, "Password", "Old box", {{"Service", "box.lan"}, {"Notes", "a\r\n"}});

        // Secrets go out marked for the other program to hide.
        const QByteArray text = exported(original, format);
        QCOMPARE(text.count("<Value ProtectInMemory=\"True\">"), format == Format::KeePassXml ? 4 : 0);
        DataDocument imported;
        const Interchange::ImportResult result = Interchange::importInto(imported, m_catalogue, format, text, "Mine");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.summary(), "Imported 3 records in 3 groups.");
        QVERIFY(writtenAsSaved(m_catalogue, text, "Mine", imported));
        QStringList expected = described(original.root());
        // A CSV cell cannot tell an empty value from none: empty extras are left out.
        if (format == Format::Csv)
            expected.removeAll("  Empty:TEXT=");
        QCOMPARE(described(result.group), expected);
    }

    void commonExportShapesAreRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("tree");
        // One small file of each layout, written from its published column
        // list, with a quote, a comma, a line break and a non-Latin letter.
        const QString mail = "Web Site|Mail, \"x\": URL=https://m.example; Login=jo; Password=p,w; Notes=ñ\\nline";
        const auto row = [](const char* file, const QString& summary, const QStringList& tree) {
            QTest::newRow(file) << file << "Imported " + summary << tree;
        };
        row("chrome.csv", "2 records in 1 group.",
            {"Web Site|Почта \"main\", inbox: URL=https://mail.example/login; Login=jürgen; Password=p,w\"d; "
             "Notes=line one\\nline two",
             "Password|Router: Service=Router; Login=admin; Password=x"});
        row("firefox.csv", "2 records in 1 group; 5 bookkeeping columns were not imported.",
            {"Web Site|shop.example: URL=https://shop.example/a; Login=jo; Password=s,\"3\"",
             "Web Site|wiki.example: URL=https://wiki.example; Login=ïvan\nsecond; Password=pw; httpRealm=Realm"});
        row("safari.csv", "1 record in 1 group.",
            {"Web Site|Bank, \"main\": URL=https://bank.example; Login=jo; Password=пароль; Notes=a\\nb; "
             "otp=otpauth://totp/Bank?secret=JBSWY3DP"});
        row("bitwarden.csv", "2 records in 3 groups; 2 bookkeeping columns were not imported.",
            {"Note|Über: Title=Über; Text=secret text\\nmore", "G Work", "  G Mail",
             "    Web Site|Mail, \"main\": URL=https://m.example; Login=jo; Password=pw; Notes=note\\nline; "
             "favorite=1; PIN=1234; Hint=blue; otp=JBSWY3DP"});
        row("bitwarden.json",
            "3 records in 3 groups; 1 history entry, 1 entry's times, 1 deleted entry and 5 "
            "bookkeeping columns were not imported.",
            {"Note|Über: Title=Über; Text=secret text; favorite=true",
             QStringLiteral("Password|Visa: Service=Visa; Brand=Visa; Card Holder=Jo; CVV=123; Expiry Month=5; ")
                 + "Expiry Year=2030; Card Number=4111",
             "G Work", "  G Mail",
             "    " + mail + "; URL 2=https://m2.example; otp=JBSWY3DP; Recovery code (secret)=r-1; Hint=blue"});
        row("1password4.csv", "1 record in 1 group.", {mail});
        row("1password7-win.csv", "1 record in 1 group.", {mail + "; category=Login; otp=JBSWY3DP"});
        row("1password7-mac.csv", "1 record in 1 group.",
            {"Web Site|Mail \"main\", inbox: URL=https://mail.example; Login=jo; Password=p\"w; Notes=α\\nβ"});
        row("1password8.csv", "1 record in 1 group; 1 bookkeeping column was not imported.",
            {"Web Site|Shop, \"big\": URL=https://shop.example; Login=jo; Password=p,w; Notes=ünïcode\\nline; "
             "Archived=true; Tags=a,b"});
        row("lastpass.csv", "2 records in 3 groups; 1 bookkeeping column was not imported.",
            {"Note|Card: Title=Card; Text=free text\\nmore; NoteType=Credit Card; Language=en-US; Number=4111",
             "G Work", "  G Sub",
             "    Web Site|Ёлка: URL=https://x.example; Login=jo; Password=p,\"w; Notes=note, \"x\"\\nline; "
             "otp=JBSWY3DP; fav=1"});
        row("dashlane.csv", "1 record in 1 group.",
            {"Web Site|Mail, \"main\": URL=https://m.example; Login=jo; Password=p\"w; Notes=a\\nb; username2=jo2; "
             "category=Mail; otp=JBSWY3DP"});
        row("dashlane-old.csv", "1 record in 1 group.",
            {"Web Site|Mail \"main\": URL=https://m.example; Login=jo; Password=p,w; Notes=ñote\\nline"});
        row("enpass.csv", "2 records in 1 group.", {mail, "Password|Wi-Fi: Service=Wi-Fi; Password=x; SSID=home"});
        row("keeper.csv", "1 record in 3 groups.", {"G Work", "  G Sub", "    " + mail + "; Recovery=r-1"});
        row("roboform.csv", "1 record in 2 groups; 1 bookkeeping column was not imported.", {"G Work", "  " + mail});
        row("nordpass.csv", "1 record in 2 groups; 1 bookkeeping column was not imported.", {"G Work", "  " + mail});
        row("safeincloud.csv", "1 record in 1 group.", {mail + "; PIN=1234"});
        row("protonpass.csv", "1 record in 2 groups; 3 bookkeeping columns were not imported.",
            {"G Personal",
             "  Web Site|Mail, \"x\": URL=https://m.example/; Login=jo; Password=p,w; E-Mail=jo@m.example; "
             "Notes=ñ\\nline; URL 2=https://proton.me/"});
        row("keepass.csv", "1 record in 1 group.", {mail});
        row("keepassxc.csv", "1 record in 2 groups; 1 bookkeeping column was not imported.",
            {"G Work", "  " + mail
                           + "; otp=otpauth://totp/x?secret=JBSWY3DP; Last Modified=2024-01-02T10:00:00Z; "
                             "Created=2024-01-01T10:00:00Z"});
        // Real exports as importer projects' test data holds them (header and one entry).
        row("1password7-win-sections.csv", "1 record in 1 group; 5 bookkeeping columns were not imported.",
            {"Web Site|1Password Account: URL=https://my.1password.com; Login=email@bitwarden.com; Password=the "
             "account's password; E-Mail=email@bitwarden.com; Notes=You can use this login to sign in to your account "
             "on 1password.com.; MASTER-PASSWORD=the account's password; ACCOUNT-KEY=A3-76TR2N-NJG3TZ-9NXFX-WT8GF-"
             "6YQC9-R2659; TAGS=Starter Kit; SECRET KEY=the account's secret key"});
        row("1password7-mac-labels.csv", "1 record in 1 group; 3 bookkeeping columns were not imported.",
            {"Password|test card: Service=test card; number=4111111111111111; verification number=111"});
        row("dashlane-headerless.csv", "2 records in 1 group.",
            {"Password|empty entry: Service=empty entry",
             "Password|note: Service=note; Notes=This is a multiline note entry. Cube shank petroleum guacamole dart "
             "mower\\nacutely slashing upper cringing lunchbox tapioca wrongful unbeaten sift."});
        row("roboform-fields.csv", "1 record in 1 group; 1 bookkeeping column was not imported.",
            {"Web Site|Example: URL=http://example.com; Login=example; Password=some@password; Notes=cool note; "
             "otp=fdkjjkdsf"});
        row("roboform-rf-fields.csv", "1 record in 2 groups.",
            {"G Bank", "  Web Site|aib: URL=https://onlinebanking.aib.ie; Login=dpbx@fner.ws; "
                       "Password=ws5T@;_UB[Q|P!8'`~z%XC'JHFUbf#IX _E0}:HF,[{ei0hBg14"});
        row("nordpass-untyped.csv", "1 record in 3 groups.",
            {"G Emails", "  G WS",
             "    Password|dpbx@fner.ws: Service=dpbx@fner.ws; Login=dpbx; Password=mt}h'hSUCY;SU;;A!l[8y3O:8; "
             "Notes=For financial purpose only!"});
        row("nordpass-custom-fields.csv", "1 record in 1 group; 1 bookkeeping column was not imported.",
            {"Web Site|Test[CustomFields]: URL=https://hello.com; Login=CustomFields; Password=CustomFields; "
             "Notes=note; [TEXT]=VALUE; [HIDDEN] (secret)=VALUE; URL 2=hts:/malformed.test.com; "
             "URL 3=https://test.me/lol; URL 4=https://test.net"});
        row("protonpass-card.csv", "1 record in 2 groups; 3 bookkeeping columns were not imported.",
            {"G Second vault", "  Password|credit card title: Service=credit card title; Notes=credit card note; "
                               "Card Holder=John Doe; Expiration Date=2024-02; Card Number=4242424242424242; "
                               "Pin=1234; CVV=123"});
        row("firefox-hostname.csv", "1 record in 1 group.",
            {"Web Site|mastodon.social: URL=mastodon.social; Login=ostqxi; Password=D<INNeT?#?Bf4%`zA/4i!/'$T"});
        row("excel-semicolon.csv", "1 record in 1 group.",
            {"Web Site|Mail; \"x\": URL=https://m.example; Login=jo; Password=p,w"});
        row("windows-1252.csv", "1 record in 1 group. The file is not UTF-8: it was read as Windows-1252.",
            {"Password|Café: Service=Café; Password=naïve"});
        row("utf16.csv", "1 record in 1 group.", {"Web Site|Ж: URL=https://x"});
        row("pwsafe.xml",
            "1 record in 3 groups; 1 history entry, 1 entry's times and 1 bookkeeping column were not "
            "imported.",
            {"G Work", "  G Mail.box",
             "    Web Site|Mail, \"x\": URL=https://m.example; Login=jo; Password=p,w; E-Mail=jo@m.example; "
             "Notes=ñ\\nline"});
        row("keepass.xml",
            "2 records in 2 groups; 1 group's notes, 1 auto-type setting, 1 entry's times, 1 entry's "
            "colours and 1 deleted entry were not imported.",
            {"Web Site|Mail, \"x\": URL=https://m.example; Login=jo; Password=p,w; E-Mail=jo@m.example; "
             "Notes=ñ\\nline; Recovery code (secret)=r-1; "
             "otp=otpauth://totp/Mail%2C%20%22x%22?secret=JBSWY3DP&period=60",
             "G Работа", "  Password|Wiki: Service=Wiki; otp=otpauth://totp/w?secret=JBSWY3DP"});
    }

    void commonExportShapesAreRead()
    {
        QFETCH(QString, file);
        QFETCH(QString, summary);
        QFETCH(QStringList, tree);
        const QByteArray input =
            TestSupport::readFile(TestSupport::sourceDir() + "/tests/document/fixtures/import/" + file);
        DataDocument document;
        std::pair<qsizetype, qsizetype> lastProgress;
        const Interchange::ImportResult result = Interchange::importInto(
            document, m_catalogue, std::nullopt, input, file.section('.', 0, 0), [&](qsizetype done, qsizetype total) {
                lastProgress = {done, total};
            });
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.summary(), summary);
        QCOMPARE(lastProgress, std::make_pair(qsizetype(result.records), qsizetype(result.records)));
        QCOMPARE(qText(result.group.attribute("name")), file.section('.', 0, 0));
        QCOMPARE(compact(result.group), tree);
        QVERIFY(writtenAsSaved(m_catalogue, input, file.section('.', 0, 0), document));
    }

    void recordsAreWrittenByFieldRole_data()
    {
        QTest::addColumn<NamedValues>("fields"); // "name:TYPE", stored value
        QTest::addColumn<QStringList>("entry");  // user name, password, address, notes, then extras
        QTest::newRow("first login and secret, the rest extras, names made unique")
            << NamedValues{{"E-Mail:E-MAIL", "a@b.c"}, {"Login:TEXT", "jo"},
                           {"PIN:NUMBER", "1234"},     {"Online Password:TEXT", "pw"},
                           {"Title:TEXT", "t"},        {"Hint:TEXT", "h1"},
                           {"Hint:TEXT", "h2"},        {"Download URL:TEXT", "https://d.example"}}
            << QStringList{"a@b.c",       "1234",    "https://d.example", "", "Login=jo", "Online Password=pw",
                           "Title (2)=t", "Hint=h1", "Hint (2)=h2"};
        QTest::newRow("dates and times in ISO form, long text without stored breaks")
            << NamedValues{{"Expiry:DATE", "20240502:"},
                           {"Opens At:TIME", "143005."},
                           {"Notes:LONG TEXT", "one\r\ntwo\r\n"},
                           {"Bad:DATE", "soon"}}
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
        QCOMPARE(rows, QStringList({"Group|Title|Username|Password|URL|Notes|Service|Room|Pin", "|Home|||||Home|3|",
                                    "Work|Router|||||Router||1", "Work/Lab|Scope|||||Scope|2|"}));
    }

    void stepsAreTakenInTheOrderAdded()
    {
        // As many as may wait before anything is taken.
        const size_t count = ExportStepQueue::BatchSize * (ExportStepQueue::MostWaiting - 1) + 1;
        ExportStepQueue steps;
        for (size_t n = 0; n < count; ++n)
            steps.add().groupName = QString::number(n);
        steps.finish();
        size_t taken = 0;
        for (std::vector<ExportStep> batch = steps.take(); !batch.empty(); batch = steps.take()) {
            for (const ExportStep& step : batch)
                QCOMPARE(step.groupName, QString::number(taken++));
        }
        QCOMPARE(taken, count);
    }

    // Megabytes pass through two buffers and a thread that writes them:
    // every byte arrives, in order, whatever the size of the pieces.
    void outputArrivesWholeAndInOrder()
    {
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        QByteArray expected;
        {
            WipedOutput out(device);
            for (int n = 0; n < 40000; ++n) {
                const QByteArray piece = QByteArray::number(n).repeated(1 + n % 17) + '\n';
                out.append(piece);
                expected += piece;
                // Now and then a piece larger than a buffer.
                if (n % 15000 == 0) {
                    const QByteArray large(3 * 1024 * 1024 / 2, char('a' + n % 26));
                    out.append(large);
                    expected += large;
                }
            }
            QVERIFY(out.flush());
        }
        QVERIFY(expected.size() > 4 * 1024 * 1024);
        QVERIFY(device.data() == expected);
    }

    // Entries are made on one thread and written on another, a batch at a
    // time: many batches still come out in the walk's order.
    void largeExportsKeepTheWalksOrder()
    {
        DataDocument document;
        QStringList expected;
        for (const QString& group : {QString("A"), QString("B")}) {
            pugi::xml_node top = TreeEditing::appendGroup(document.root(), group, 0);
            const pugi::xml_node inner = TreeEditing::appendGroup(top, "In", 0);
            for (int n = 0; n < 700; ++n) {
                const QString title = group + QString::number(n);
                // Every third record in the inner group, which comes after the outer's.
                addRecord(m_catalogue, n % 3 == 0 ? inner : top, "Password", title, {{"Service", title}}, {});
            }
            for (const QString& path : {group, group + "/In"}) {
                for (int n = 0; n < 700; ++n) {
                    if ((n % 3 == 0) == path.endsWith("/In"))
                        expected << path + "|" + group + QString::number(n);
                }
            }
        }
        const QByteArray text = exported(document, Format::Csv);
        CsvReader reader(text);
        QStringList rows;
        reader.nextRow();
        while (const std::optional<QStringList> cells = reader.nextRow())
            rows << cells->at(0) + "|" + cells->at(1);
        QCOMPARE(rows, expected);
    }

    void everyGroupAndEntryHasAUuidOfItsOwn()
    {
        DataDocument document;
        const pugi::xml_node group = TreeEditing::appendGroup(document.root(), "G", 0);
        for (int n = 0; n < 300; ++n)
            addRecord(m_catalogue, group, "Password", QString::number(n), {}, {});
        const QString xml = QString::fromUtf8(exported(document, Format::KeePassXml));
        QSet<QByteArray> uuids;
        for (const QRegularExpressionMatch& match : QRegularExpression("<UUID>([^<]*)</UUID>").globalMatch(xml)) {
            const QByteArray text = match.captured(1).toLatin1();
            const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
            QVERIFY2(decoded && (*decoded).size() == 16 && (*decoded).toBase64() == text, text.constData());
            uuids.insert(text);
        }
        // The top level, the group and its records.
        QCOMPARE(uuids.size(), 302);
    }

    void keePassXmlHoldsOnlyWhatXmlAllows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        const QChar replaced = QChar::ReplacementCharacter;
        QTest::newRow("control characters")
            << QString("a") + QChar(1) + "b" + QChar(0) + QChar(0x1B) << QString("a%1b%1%1").arg(replaced);
        QTest::newRow("lone surrogates") << QString(QChar(0xDC00)) + "y" + QChar(0xD800)
                                         << QString("%1y%1").arg(replaced);
        QTest::newRow("U+FFFE and U+FFFF")
            << QString("x") + QChar(0xFFFE) + QChar(0xFFFF) << QString("x%1%1").arg(replaced);
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

        DataDocument document;
        const Interchange::ImportResult result =
            Interchange::importInto(document, m_catalogue, Format::KeePassXml, out.data(), "in");
        QVERIFY2(result.ok(), qPrintable(result.error));
        const pugi::xml_node group = result.group.child("folder");
        const pugi::xml_node record = group.child("record");
        QCOMPARE(QStringList({qText(group.attribute("name")), qText(record.child("label").text()),
                              qText(record.find_child_by_attribute("field", "name", "Password").text()),
                              qText(record.last_child().attribute("name"))}),
                 QStringList({"G" + readBack, readBack, readBack, "k" + readBack}));
    }

    // A document's UTF-8 goes to the file as it stands only where it reads as
    // the same text: whatever else it holds comes out as through QString.
    void exportsWriteDocumentTextsAsTheirText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("markup, CR LF and characters of every length")
            << QByteArray("a&b<c>\r\nd \xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80");
        QTest::newRow("invalid UTF-8") << QByteArray("x\xFFy\xC3\xE2\x82");
        QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80z");
        QTest::newRow("control characters, U+FFFE and U+FFFF") << QByteArray("a\x01\x1F\xEF\xBF\xBE\xEF\xBF\xBF");
        QTest::newRow("a byte order mark first") << QByteArray("\xEF\xBB\xBFlead");
        QTest::newRow("a one-time-code address") << QByteArray("OTPAUTH://totp/x?secret=A");
        QTest::newRow("a non-ASCII start") << QByteArray("\xC3\xB6tpauth://totp/x");
    }

    void exportsWriteDocumentTextsAsTheirText()
    {
        QFETCH(QByteArray, text);
        // The text as both halves of the caption, a field's name and the
        // values of usual strings, extras (one renamed) and a date that is none.
        DataDocument document;
        pugi::xml_node record = document.root().append_child("record");
        pugi::xml_node label = record.append_child("label");
        label.append_attribute("link") = "Login";
        label.append_attribute("link2") = "Password";
        for (const auto& [name, type] : {std::pair{QByteArray("Login"), "TEXT"},
                                         {"Password", "TEXT"},
                                         {text, "TEXT"},
                                         {"Since", "DATE"},
                                         {"Title", "TEXT"}}) {
            pugi::xml_node field = record.append_child("field");
            field.append_attribute("name") = name.constData();
            field.append_attribute("basic_type") = type;
            field.text() = text.constData();
        }
        Interchange::EntryMaker maker;
        const auto keePassXml = [&](const auto& entry) {
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            KeePassXml::Writer writer(out);
            writer.beginGroup("Root");
            writer.entry(entry);
            writer.endGroup();
            writer.finish();
            const QString xml = QString::fromUtf8(out.data()).remove(QRegularExpression("<UUID>[^<]*</UUID>"));
            return QStringList{xml, QString::number(writer.replacements().texts), writer.replacements().firstPlace};
        };
        ForeignEntry asText = maker.entryOf(record);
        const QStringList expected = keePassXml(asText);
        QVERIFY(expected.first().contains("<Key>Title (2)</Key>"));
        const auto documentEntry = [&] {
            DocumentEntry entry = maker.documentEntryOf(record);
            Interchange::EntryMaker::makeChangedTexts(entry);
            return entry;
        };
        QCOMPARE(keePassXml(documentEntry()), expected);

        const auto csv = [&](const auto& entry) {
            QBuffer out;
            out.open(QIODevice::WriteOnly);
            CsvEntries::Writer writer(out, maker.extraNamesOf(record) << "Absent");
            writer.beginGroup("Root");
            writer.beginGroup(QString::fromUtf8(text));
            writer.entry(entry);
            writer.endGroup();
            writer.endGroup();
            writer.finish();
            return out.data();
        };
        QCOMPARE(csv(documentEntry()), csv(asText));
    }

    void longValuesKeepEveryCharacterAcrossSlices_data()
    {
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("stored");
        const QString run(64 * 1024 - 1, u'x');
        QTest::newRow("CR LF across a slice's end") << run + "\r\ny" << run + "\r\ny\r\n";
        QTest::newRow("lone CR at a slice's end") << run + "\ry\r" << run + "\r\ny\r\n";
        QTest::newRow("surrogate pair across a slice's end") << run + "\U0001F600z" << run + "\U0001F600z\r\n";
    }

    void longValuesKeepEveryCharacterAcrossSlices()
    {
        QFETCH(QString, notes);
        QFETCH(QString, stored);
        DataDocument document;
        const QByteArray input = "Title,Notes\r\n\"" + notes.toUtf8() + "\",\"" + notes.toUtf8() + "\"\r\n";
        const Interchange::ImportResult result =
            Interchange::importInto(document, m_catalogue, Format::Csv, input, "long");
        QVERIFY2(result.ok(), qPrintable(result.error));
        const pugi::xml_node record = result.group.first_child();
        QCOMPARE(QString::fromUtf8(record.child_value("label")), notes);
        QCOMPARE(QString::fromUtf8(record.find_child_by_attribute("name", "Notes").text().get()), stored);
    }

    // The reader gives the input back as it passes it, a megabyte at a time:
    // every entry of a file of a few, before, inside and after a nested
    // group, must still be read whole.
    void keePassXmlLargerThanWhatIsGivenBackReadsWhole()
    {
        QByteArray input = "<KeePassFile><Root><Group><Name>R</Name>";
        QStringList top;
        QStringList inner;
        const auto addEntries = [&](int from, int to, QStringList& expected) {
            for (int n = from; n < to; ++n) {
                const QByteArray password = QByteArray(300, 'p') + QByteArray::number(n);
                input += "<Entry><String><Key>Title</Key><Value>t" + QByteArray::number(n)
                         + "</Value></String><String><Key>Password</Key><Value>" + password
                         + "</Value></String></Entry>\n";
                expected << "t" + QString::number(n) + "|" + password;
            }
        };
        addEntries(0, 3000, top);
        input += "<Group><Name>Inner</Name>";
        addEntries(3000, 6000, inner);
        input += "</Group>";
        addEntries(6000, 9000, top);
        input += "</Group></Root></KeePassFile>";
        DataDocument document;
        const Interchange::ImportResult result =
            Interchange::importInto(document, m_catalogue, Format::KeePassXml, input, "in");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QStringList read;
        Schema::walkTree(result.group, [&](const pugi::xml_node& item, int) {
            if (Schema::isRecord(item))
                read << qText(item.child("label").text()) + "|"
                            + qText(item.find_child_by_attribute("field", "name", "Password").text());
            return true;
        });
        // In tree order: a group's records before its subgroups.
        QCOMPARE(read, top + inner);
    }

    void aHundredMegabyteValueStaysWithinASmallMultiple()
    {
        constexpr qsizetype Size = 100 * 1024 * 1024;
        QByteArray input = "Title,Notes\r\nBig,\"";
        input += QByteArray(Size, 'x');
        input += "\"\r\n";
        const long before = peakMegabytes();
        DataDocument document;
        const Interchange::ImportResult result =
            Interchange::importInto(document, m_catalogue, Format::Csv, input, "big");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(qstrlen(result.group.first_child().find_child_by_attribute("name", "Notes").text().get()),
                 size_t(Size + 2));
        // The value is held once in UTF-16 while it is read; its stored
        // form is written slice by slice. Another whole copy would show.
        long bound = 3 * 100;
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's quarantine of freed blocks, its shadow and red zones.
        bound += 256 + 100;
#endif
        QVERIFY2(peakMegabytes() - before < bound, qPrintable(QString::number(peakMegabytes() - before)));
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
