#include "ProgramFixture.h"

#include "document/Schema.h"
#include "document/TreeEditing.h"
#include "document/interchange/Interchange.h"
#include "document/ui/FormNewRecord.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QRegularExpression>
#include <QtTest>

#include <optional>

#include <sys/stat.h>

using Interchange::Format;
using Answer = MessageService::Answer;

namespace {

// Every record under element, by its path of groups, then its fields.
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

} // namespace

class TestInterchangeCommands : public ProgramTestCase {
    Q_OBJECT

private:
    DataDocument& document() { return main().XMLDocumentData(); }
    const Catalogue& catalogue() { return m_fixture->program().newRecordWindow().catalogue(); }

    // The open file private.zv: a group with a log-in record, and a web site.
    void openWithRecords()
    {
        m_fixture->start();
        const auto add = [&](pugi::xml_node parent, const QString& type,
                             const QList<std::pair<const char*, QString>>& values) {
            const pugi::xml_node record = TreeEditing::appendRecord(
                parent, catalogue().FindTemplate(type), type, values.first().second, 0, QDateTime::currentDateTime());
            for (const auto& [field, value] : values)
                record.find_child_by_attribute("field", "name", field).text().set(value.toUtf8().constData());
        };
        add(TreeEditing::appendGroup(document().root(), "Home", 0), "Password",
            {{"Service", "Router"},
             {"Login", "admin"},
             {"Password", "pa\x01"
                          "55"}});
        add(document().root(), "Web Site", {{"URL", "https://mail.example"}, {"Notes", "a\r\nb\r\n"}});
        main().RebuildTree();
        m_fixture->answerPrompts({"secret"});
        QVERIFY(main().SaveAsWithPassword(path("private.zv"), DataFile::Format::Plain));
    }

private slots:
    void importAddsOneSelectedGroupOrSaysWhyNot_data()
    {
        QTest::addColumn<bool>("openFile");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("input");    // none: no such file; "huge": beyond a data file's size
        QTest::addColumn<QStringList>("records"); // none when it fails
        QTest::addColumn<QString>("told");
        QTest::newRow("KeePass XML beside records")
            << true << "Vault.xml"
            << QByteArray("<KeePassFile><Root><Group><Name>Database</Name><Entry>"
                          "<String><Key>Title</Key><Value>Bank</Value></String><Binary><Key>a.pdf</Key></Binary>"
                          "</Entry><Group><Name>Work</Name><Entry><String><Key>Title</Key><Value>VPN</Value>"
                          "</String></Entry></Group></Group></Root></KeePassFile>")
            << QStringList{"/Vault/Bank", "/Vault/Work/VPN"}
            << "Imported into the new group “Vault”.\nRecords: 2\nGroups: 2\n"
               "Not imported, as a data file cannot hold them:\nAttachments: 1";
        QTest::newRow("CSV told by content, into a new document")
            << false << "browser export.txt" << QByteArray("name,url,username,password\nShop,,jo,pw\n")
            << QStringList{"/browser export/Shop"}
            << "Imported into the new group “browser export”.\nRecords: 1\nGroups: 1";
        QTest::newRow("older Dashlane export without a header line, told by its rows")
            << false << "dashlane.csv"
            << QByteArray("\"empty entry\"\n"
                          "\"twitter.com\",\"https://twitter.com/\",\"ostqxi\",\"SoNEwvU,kJ%-cIKJ9[c#S;]jB\",\"\"\n")
            << QStringList{"/dashlane/empty entry", "/dashlane/twitter.com"}
            << "Imported into the new group “dashlane”.\nRecords: 2\nGroups: 1";
        QTest::newRow("LastPass note in Windows-1252, told by content")
            << false << "lastpass.txt"
            << QByteArray("url,username,password,totp,extra,name,grouping,fav\nhttp://sn,,,,x,Caf\xe9,,0\n")
            << QStringList{"/lastpass/Caf\u00e9"}
            << "Imported into the new group “lastpass”.\nRecords: 1\nGroups: 1\nNot imported, as a data file cannot "
               "hold them:\nBookkeeping columns (ids, flags): 1\nThe file is not UTF-8: it was read as Windows-1252.";
        QTest::newRow("unclosed quote") << true << "in.csv" << QByteArray("Title,Notes\nA,\"open\n") << QStringList()
                                        << "line 2: a quoted value is not closed";
        QTest::newRow("not KeePass XML") << true << "in.xml" << QByteArray("<data/>") << QStringList()
                                         << "the document element is <data>, not <KeePassFile>";
        QTest::newRow("KeePassXC database")
            << true << "Vault.kdbx" << QByteArray("\x03\xd9\xa2\x9a\x67\xfb\x4b\xb5") << QStringList()
            << "This is a KeePass database, not an export. Export it as XML in KeePass "
               "or KeePassXC first.";
        QTest::newRow("missing") << true << "gone.csv" << QByteArray() << QStringList() << "No such file or directory";
        QTest::newRow("larger than a data file")
            << true << "huge.csv" << QByteArray("huge") << QStringList() << "The file is larger than 256 MB";
    }

    void importAddsOneSelectedGroupOrSaysWhyNot()
    {
        QFETCH(bool, openFile);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, records);
        QFETCH(QString, told);
        openFile ? openWithRecords() : m_fixture->start();
        if (!input.isEmpty())
            TestSupport::writeFile(path(fileName), input);
        if (input == "huge")
            QVERIFY(QFile::resize(path(fileName), DataFile::MaxFileSize + 1));
        const QByteArray before = document().toText();
        messages().fileNames.enqueue(path(fileName));
        main().actions().importFile->trigger();

        QCOMPARE(messages().fileDialogTitles, QStringList{"Import"});
        QCOMPARE(messages().fileDialogStarts,
                 QStringList{openFile ? QFileInfo(path("private.zv")).absolutePath() : ""});
        QCOMPARE(messages().texts(),
                 QStringList{records.isEmpty() ? "Can't import " + path(fileName) + "\n" + told : told});
        QCOMPARE(messages().shown.first().kind,
                 records.isEmpty() ? MessageService::Kind::Error : MessageService::Kind::Information);
        QCOMPARE(main().Modified(), !records.isEmpty());
        if (!records.isEmpty()) {
            const pugi::xml_node added = document().root().last_child();
            QVERIFY(main().selectedNode());
            QCOMPARE(main().selectedNode()->element, added);
            QCOMPARE(contents(added, "/" + Schema::itemCaption(added)).filter(QRegularExpression("^/")), records);
            // Without it the document is what it was.
            document().root().remove_child(added);
        }
        QCOMPARE(document().toText(), before);
    }

    void exportWritesAPrivateFileThatImportsBack_data()
    {
        QTest::addColumn<Answer>("warning");
        QTest::addColumn<QString>("fileName"); // none: the save dialog is cancelled
        QTest::addColumn<int>("filter");
        QTest::addColumn<std::optional<Format>>("format"); // none: nothing is written
        QTest::addColumn<QString>("told");
        const QString written =
            "Exported to %1\nTexts with characters XML cannot carry, such as control characters: 1. "
            "Each such character was written as U+FFFD. The first is in “Router”.";
        QTest::newRow("KeePass XML as chosen")
            << Answer::Yes << "out" << 0 << std::optional(Format::KeePassXml) << written;
        QTest::newRow("CSV as chosen") << Answer::Yes << "out" << 1 << std::optional(Format::Csv) << "Exported to %1";
        QTest::newRow("a typed extension wins")
            << Answer::Yes << "out.csv" << 0 << std::optional(Format::Csv) << "Exported to %1";
        QTest::newRow("refused at the warning") << Answer::No << "out" << 0 << std::optional<Format>() << QString();
        QTest::newRow("save dialog cancelled") << Answer::Yes << QString() << 0 << std::optional<Format>() << QString();
        QTest::newRow("onto the open data file") << Answer::Yes << "private.zv" << 0 << std::optional<Format>()
                                                 << "%1 is the open data file: export to another file";
        QTest::newRow("a full disk") << Answer::Yes << "out" << 0 << std::optional<Format>()
                                     << "Can't export to %1\nFile too large";
    }

    void exportWritesAPrivateFileThatImportsBack()
    {
        QFETCH(Answer, warning);
        QFETCH(QString, fileName);
        QFETCH(int, filter);
        QFETCH(std::optional<Format>, format);
        QFETCH(QString, told);
        openWithRecords();
        const QByteArray dataFile = TestSupport::readFile(path("private.zv"));
        const QString target = path(fileName);
        // Someone else's older file there, which others could read.
        if (fileName.startsWith("out")) {
            TestSupport::writeFile(target, "older");
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        }
        messages().answers.enqueue(warning);
        if (!fileName.isEmpty())
            messages().fileNames.enqueue(target);
        messages().filterChoices.enqueue(filter);
        {
            std::optional<TestSupport::FileSizeLimit> fullDisk;
            if (told.startsWith("Can't"))
                fullDisk.emplace(10);
            main().actions().exportFile->trigger();
        }

        QCOMPARE(messages().shown.first().kind, MessageService::Kind::Warning);
        QCOMPARE(messages().shown.first().buttons, MessageService::Buttons::YesNo);
        QCOMPARE(messages().fileDialogTitles, warning == Answer::Yes ? QStringList{"Export"} : QStringList());
        QCOMPARE(messages().fileDialogStarts, messages().fileDialogTitles.isEmpty()
                                                  ? QStringList()
                                                  : QStringList{QFileInfo(path("private.zv")).absolutePath()});
        QCOMPARE(messages().texts().mid(1), told.isEmpty() ? QStringList() : QStringList{told.arg(target)});
        QCOMPARE(TestSupport::readFile(path("private.zv")), dataFile);
        if (!format) {
            QCOMPARE(QDir(path(".")).entryList({"*out*"}, QDir::Files | QDir::Hidden),
                     fileName.startsWith("out") ? QStringList{"out"} : QStringList());
            QVERIFY(!fileName.startsWith("out") || TestSupport::readFile(target) == "older");
            return;
        }
        struct stat status { };
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0600));
        const QByteArray bytes = TestSupport::readFile(target);
        QCOMPARE(Interchange::formatOf(bytes), *format);
        DataDocument back;
        const Interchange::ImportResult result = Interchange::importInto(back, catalogue(), *format, bytes, "back");
        QVERIFY2(result.ok(), qPrintable(result.error));
        QStringList expected = contents(document().root());
        if (*format == Format::KeePassXml)
            expected.replaceInStrings(QString("pa\x01"
                                              "55"),
                                      QString("pa\uFFFD55"));
        QCOMPARE(contents(result.group), expected);
    }

    void exportReplacesALinkAtItsNameNotWhatItNames_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("a link to another file") << true;
        QTest::newRow("a dangling link") << false;
    }

    void exportReplacesALinkAtItsNameNotWhatItNames()
    {
        QFETCH(bool, targetExists);
        openWithRecords();
        const QString elsewhere = path("elsewhere");
        if (targetExists)
            TestSupport::writeFile(elsewhere, "someone's file");
        QVERIFY(QFile::link(elsewhere, path("out.csv")));
        messages().answers.enqueue(Answer::Yes);
        messages().fileNames.enqueue(path("out.csv"));
        messages().filterChoices.enqueue(int(Format::Csv));
        main().actions().exportFile->trigger();

        QCOMPARE(messages().texts().mid(1), QStringList{"Exported to " + path("out.csv")});
        QCOMPARE(QFileInfo(elsewhere).exists(), targetExists);
        QVERIFY(!targetExists || TestSupport::readFile(elsewhere) == "someone's file");
        QVERIFY(!QFileInfo(path("out.csv")).isSymLink());
        QVERIFY(TestSupport::readFile(path("out.csv")).startsWith("Group,Title"));
    }
};

QTEST_MAIN(TestInterchangeCommands)
#include "tst_interchangecommands.moc"
