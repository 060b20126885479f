#include "ProgramFixture.h"

#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/UnitNewRecord.h"
#include "document/interchange/Interchange.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

using Interchange::Format;
using Kind = MessageService::Kind;

namespace {

const QByteArray KeePassVault = "<KeePassFile><Root><Group><Name>Database</Name>"
                                "<Entry><String><Key>Title</Key><Value>Bank</Value></String>"
                                "<String><Key>URL</Key><Value>https://bank.example</Value></String>"
                                "<Binary><Key>scan.pdf</Key><Value Ref=\"0\"/></Binary></Entry>"
                                "<Group><Name>Work</Name><Entry><String><Key>Title</Key><Value>VPN</Value></String>"
                                "<String><Key>Token</Key><Value>123</Value></String></Entry></Group>"
                                "</Group></Root></KeePassFile>";

// Every record under element with its path of groups, then its fields' values.
QStringList contents(const pugi::xml_node& element, const QString& path = {})
{
    QStringList lines;
    for (const pugi::xml_node& item : Schema::treeChildren(element)) {
        const QString itemPath = path + "/" + Schema::itemCaption(item);
        if (Schema::isGroup(item)) {
            lines += contents(item, itemPath);
            continue;
        }
        lines << itemPath;
        for (const pugi::xml_node& field : Schema::recordFields(item))
            lines << "  " + qText(field.attribute("name")) + "=" + qText(field.text());
    }
    return lines;
}

mode_t permissionsOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 0777 : 0;
}

} // namespace

class TestInterchangeCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFixture> m_fixture;

    TFormMain& main() { return m_fixture->main(); }
    ScriptedMessageService& messages() { return m_fixture->messages; }
    QString path(const QString& name) { return m_fixture->path(name); }
    DataDocument& document() { return main().XMLDocumentData(); }
    const Catalogue& catalogue() { return m_fixture->program().newRecordWindow().catalogue(); }

    // A program with a group holding a log-in record and a web site at the
    // top level, as if read from a file: nothing modified.
    void startWithRecords()
    {
        m_fixture->start();
        const pugi::xml_node home = TreeEditing::appendGroup(document().root(), "Home", 0);
        addRecord(home, "Password", "Router", {{"Service", "Router"}, {"Login", "admin"}, {"Password", "pa55"}});
        addRecord(document().root(), "Web Site", "Mail", {{"URL", "https://mail.example"}, {"Notes", "a\r\nb\r\n"}});
        main().RebuildTree();
        QVERIFY(!main().Modified());
    }

    void addRecord(const pugi::xml_node& parent, const QString& type, const QString& name,
                   const QList<std::pair<const char*, QString>>& values)
    {
        const pugi::xml_node record = TreeEditing::appendRecord(parent, catalogue().FindTemplate(type), type, name, 0,
                                                                QDateTime::currentDateTime());
        for (const auto& [field, value] : values)
            record.find_child_by_attribute("field", "name", field).text().set(value.toUtf8().constData());
    }

    pugi::xml_node selectedElement()
    {
        const TTreeNodeData* data = main().selectedNode();
        return data ? data->element : pugi::xml_node();
    }

private slots:
    void init() { m_fixture = std::make_unique<ProgramFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void importAddsOneSelectedGroup_data()
    {
        QTest::addColumn<bool>("withRecords");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("summary");
        QTest::newRow("KeePass XML beside records")
            << true << "Vault.xml" << KeePassVault << QStringList{"/Vault/Bank", "/Vault/Work/VPN"}
            << "Imported into the new group “Vault”.\nRecords: 2\nGroups: 2\n"
               "Not imported, as a data file cannot hold them:\nAttachments: 1";
        QTest::newRow("CSV told by content, into a new document")
            << false << "browser export.txt" << QByteArray("name,url,username,password\nShop,,jo,pw\n")
            << QStringList{"/browser export/Shop"} << "Imported into the new group “browser export”.\nRecords: 1\nGroups: 1";
    }

    void importAddsOneSelectedGroup()
    {
        QFETCH(bool, withRecords);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, records);
        QFETCH(QString, summary);
        if (withRecords)
            startWithRecords();
        else
            m_fixture->start();
        const QByteArray before = document().toText();
        TestSupport::writeFile(path(fileName), input);
        messages().fileNames.enqueue(path(fileName));
        main().action("ActionImport")->trigger();

        const pugi::xml_node added = document().root().last_child();
        QCOMPARE(selectedElement(), added);
        QVERIFY(main().Modified());
        QCOMPARE(contents(added, "/" + Schema::itemCaption(added)).filter(QRegularExpression("^/")), records);
        QCOMPARE(messages().shown.size(), 1);
        QCOMPARE(messages().shown.first().kind, Kind::Information);
        QCOMPARE(messages().shown.first().text, summary);
        // Without the new group the document is what it was.
        document().root().remove_child(added);
        QCOMPARE(document().toText(), before);
    }

    void importThatFailsSaysWhyAndChangesNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unclosed quote") << "in.csv" << QByteArray("Title,Notes\nA,\"open\n")
                                        << "line 2: a quoted value is not closed";
        QTest::newRow("not KeePass XML") << "in.xml" << QByteArray("<data/>")
                                         << "the document element is <data>, not <KeePassFile>";
        QTest::newRow("missing") << "gone.csv" << QByteArray() << "No such file or directory";
        QTest::newRow("larger than a data file") << "huge.csv" << QByteArray() << "The file is larger than 256 MB";
    }

    void importThatFailsSaysWhyAndChangesNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, input);
        QFETCH(QString, reason);
        startWithRecords();
        if (!input.isEmpty())
            TestSupport::writeFile(path(fileName), input);
        if (fileName == "huge.csv") {
            QFile huge(path(fileName));
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(DataFile::MaxFileSize + 1));
        }
        const QByteArray before = document().toText();
        messages().fileNames.enqueue(path(fileName));
        main().action("ActionImport")->trigger();
        QCOMPARE(messages().shown.size(), 1);
        QCOMPARE(messages().shown.first().kind, Kind::Error);
        QCOMPARE(messages().shown.first().text, "Can't import " + path(fileName) + "\n" + reason);
        QCOMPARE(document().toText(), before);
        QVERIFY(!main().Modified());
    }

    void exportWritesAPrivateFileThatImportsBack_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("filter");
        QTest::addColumn<Format>("format");
        QTest::addColumn<bool>("controlCharacter");
        QTest::newRow("KeePass XML as chosen") << "out" << 0 << Format::KeePassXml << false;
        QTest::newRow("CSV as chosen") << "out" << 1 << Format::Csv << false;
        QTest::newRow("a typed extension wins") << "out.csv" << 0 << Format::Csv << false;
        QTest::newRow("a control character") << "out.xml" << 0 << Format::KeePassXml << true;
    }

    void exportWritesAPrivateFileThatImportsBack()
    {
        QFETCH(QString, fileName);
        QFETCH(int, filter);
        QFETCH(Format, format);
        QFETCH(bool, controlCharacter);
        startWithRecords();
        const pugi::xml_node login = document().root().find_child_by_attribute("folder", "name", "Home").first_child();
        if (controlCharacter)
            login.find_child_by_attribute("field", "name", "Password").text().set("pa\x01" "55");
        const QString target = path(fileName);
        TestSupport::writeFile(target, "older");
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

        messages().answers.enqueue(MessageService::Answer::Yes);
        messages().fileNames.enqueue(target);
        messages().filterChoices.enqueue(filter);
        main().action("ActionExport")->trigger();

        QCOMPARE(messages().shown.size(), 2);
        QCOMPARE(messages().shown.first().kind, Kind::Warning);
        QCOMPARE(messages().shown.first().buttons, MessageService::Buttons::YesNo);
        QCOMPARE(messages().saveDialogs.first().filters, (QStringList{"KeePass XML (*.xml)", "CSV (*.csv)"}));
        QString told = "Exported to " + target;
        if (controlCharacter)
            told += "\nTexts with characters XML cannot carry, such as control characters: 1. Each such character "
                    "was written as U+FFFD. The first is in “Router”.";
        QCOMPARE(messages().shown.last().text, told);
        QCOMPARE(permissionsOf(target), mode_t(0600));

        const QByteArray written = TestSupport::readFile(target);
        QCOMPARE(Interchange::formatOf(QString(), written), format);
        if (format == Format::KeePassXml) {
            QXmlStreamReader strict(written);
            while (!strict.atEnd())
                strict.readNext();
            QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));
        }
        DataDocument back;
        const Interchange::ImportResult result = Interchange::importInto(back, catalogue(), format, written, "back");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QStringList expected = contents(document().root());
        expected.replaceInStrings(QString("pa\x01" "55"), QString("pa\uFFFD55"));
        QCOMPARE(contents(result.group), expected);
    }

    void exportThatDoesNotGoAheadWritesNothing_data()
    {
        QTest::addColumn<MessageService::Answer>("answer");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("told");
        QTest::newRow("refused at the warning") << MessageService::Answer::No << "out.xml" << QString();
        QTest::newRow("the save dialog cancelled") << MessageService::Answer::Yes << QString() << QString();
        QTest::newRow("onto the open data file")
            << MessageService::Answer::Yes << "private.zv" << "%1 is the open data file: export to another file";
        QTest::newRow("a full disk") << MessageService::Answer::Yes << "out.xml"
                                     << "Can't export to %1\nFile too large";
    }

    void exportThatDoesNotGoAheadWritesNothing()
    {
        QFETCH(MessageService::Answer, answer);
        QFETCH(QString, fileName);
        QFETCH(QString, told);
        m_fixture->writeDataFile(path("private.zv"), "secret", "<data><folder name=\"Home\" type=\"PRIVATE\"/></data>");
        m_fixture->start(path("private.zv"), {"secret"});
        const QByteArray dataFile = TestSupport::readFile(path("private.zv"));
        messages().answers.enqueue(answer);
        if (!fileName.isEmpty())
            messages().fileNames.enqueue(path(fileName));
        {
            std::optional<TestSupport::FileSizeLimit> fullDisk;
            if (told.startsWith("Can't"))
                fullDisk.emplace(10);
            main().action("ActionExport")->trigger();
        }
        QCOMPARE(messages().fileDialogs, answer == MessageService::Answer::Yes ? 1 : 0);
        QCOMPARE(messages().texts().mid(1), told.isEmpty() ? QStringList() : QStringList{told.arg(path(fileName))});
        QCOMPARE(QDir(path(".")).entryList({"out*", ".out*"}, QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(TestSupport::readFile(path("private.zv")), dataFile);
    }
};

QTEST_MAIN(TestInterchangeCommands)
#include "tst_interchangecommands.moc"
