#include "base/CodePage.h"
#include "config/ProgramPaths.h"
#include "document/Catalogue.h"
#include "document/Schema.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

// A catalogue of the given entries under the usual two outer elements.
QByteArray catalogueOf(const QByteArray& entries)
{
    return "<catalogue><types>" + entries + "</types></catalogue>";
}

QString fileWith(const QTemporaryDir& dir, const QByteArray& bytes)
{
    QString path = dir.filePath("config.xml");
    TestSupport::writeFile(path, bytes);
    return path;
}

QStringList entryNames(const Catalogue& catalogue)
{
    QStringList names;
    for (const Catalogue::Entry& entry : catalogue.entries())
        names.append(entry.name);
    return names;
}

QList<int> entryIcons(const Catalogue& catalogue)
{
    QList<int> icons;
    for (const Catalogue::Entry& entry : catalogue.entries())
        icons.append(entry.icon.value);
    return icons;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void languageCatalogueHidesProgramOne_data();
    void languageCatalogueHidesProgramOne();

    void listsEntriesInFileOrderWithIcons();
    void findsTemplateByExactName();
    void recordEntryIsListedButNeverATemplate();
    void loadReplacesEarlierCatalogue();
    void namesReadInEveryEncodingLeadToTheirTemplates_data();
    void namesReadInEveryEncodingLeadToTheirTemplates();

    void oddShapesGiveEmptyList_data();
    void oddShapesGiveEmptyList();
    void unreadableFileGivesEmptyCatalogue_data();
    void unreadableFileGivesEmptyCatalogue();

    void shippedCatalogueCoversEveryRecordType();
    void shippedCatalogueFieldsAreWellFormed();
};

void TestCatalogue::languageCatalogueHidesProgramOne_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("inLanguageFolder");
    QTest::addColumn<bool>("inProgramFolder");
    QTest::addColumn<QString>("found"); // "language", "program" or "none"
    QTest::newRow("both") << "Deutsch" << true << true << "language";
    QTest::newRow("language only") << "Deutsch" << true << false << "language";
    QTest::newRow("program only") << "Deutsch" << false << true << "program";
    QTest::newRow("neither") << "Deutsch" << false << false << "none";
    QTest::newRow("other language's folder") << "Polski" << true << true << "program";
    QTest::newRow("no language") << "" << true << true << "program";
    QTest::newRow("no language, no program one") << "" << true << false << "none";
}

void TestCatalogue::languageCatalogueHidesProgramOne()
{
    QFETCH(QString, language);
    QFETCH(bool, inLanguageFolder);
    QFETCH(bool, inProgramFolder);
    QFETCH(QString, found);

    QTemporaryDir dir;
    const ProgramPaths paths(dir.filePath("zantrove"));
    // A language has its folder once the folder exists.
    QVERIFY(QDir().mkpath(paths.languagesFolder() + "Deutsch"));
    QVERIFY(QDir().mkpath(paths.languagesFolder() + "Polski"));
    const QString languageCatalogue = paths.languageFolder("Deutsch") + "config.xml";
    const QString programCatalogue = paths.folder() + "config.xml";
    // Stray catalogues that no language may pick up.
    TestSupport::writeFile(paths.languagesFolder() + "config.xml", catalogueOf(""));
    QVERIFY(QDir().mkpath(paths.languageFolder("Polski") + "config.xml"));
    if (inLanguageFolder)
        TestSupport::writeFile(languageCatalogue, catalogueOf(""));
    if (inProgramFolder)
        TestSupport::writeFile(programCatalogue, catalogueOf(""));

    const std::optional<QString> file = findCatalogueFile(paths, language);
    if (found == "none") {
        QVERIFY(!file);
        return;
    }
    QVERIFY(file);
    QCOMPARE(*file, found == "language" ? languageCatalogue : programCatalogue);
}

void TestCatalogue::listsEntriesInFileOrderWithIcons()
{
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(dir, catalogueOf("<entry type='WEB SITE' name='Web'/>"
                                                              "<entry type='CAR INFO' name='Car'/>"
                                                              "<entry type='car info' name='Lower'/>"
                                                              "<entry type='BOAT' name='Unknown'/>"
                                                              "<entry name='Untyped'/>"
                                                              "<entry type='DEFAULT' name='Plain'/>"
                                                              "<entry type='ADDRESS' name='Car'/>"))));
    QCOMPARE(entryNames(catalogue), (QStringList{"Web", "Car", "Lower", "Unknown", "Untyped", "Plain", "Car"}));
    QCOMPARE(entryIcons(catalogue), (QList<int>{17, 4, 0, 0, 0, 0, 1}));
}

void TestCatalogue::findsTemplateByExactName()
{
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(
        dir,
        catalogueOf(
            "<entry type='CAR INFO' name='Car'><label link='Model'/><field name='Model' basic_type='TEXT'/></entry>"
            "<entry type='ADDRESS' name='Car'><label link='Street'/></entry>"
            "<entry type='NOTE' name='Voiture'>\n  <label link='Title'/>\n</entry>"))));

    const pugi::xml_node car = catalogue.FindTemplate("Car");
    QVERIFY(car);
    QCOMPARE(car.attribute("type").value(), "CAR INFO");
    QCOMPARE(car.first_child().attribute("link").value(), "Model");
    const pugi::xml_node voiture = catalogue.FindTemplate("Voiture");
    QCOMPARE(voiture.attribute("type").value(), "NOTE");
    QVERIFY(!voiture.first_child().attribute("link2"));
    QVERIFY(!catalogue.FindTemplate("car"));
    QVERIFY(!catalogue.FindTemplate("Car "));
    QVERIFY(!catalogue.FindTemplate(""));
}

void TestCatalogue::recordEntryIsListedButNeverATemplate()
{
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(dir, catalogueOf("<record type='NOTE' name='Note'/>"
                                                              "<record type='PASSWORD' name='Secret'/>"
                                                              "<entry type='DEFAULT' name='Note'/>"))));
    QCOMPARE(entryNames(catalogue), (QStringList{"Note", "Secret", "Note"}));
    QCOMPARE(entryIcons(catalogue), (QList<int>{11, 13, 0}));
    QVERIFY(!catalogue.FindTemplate("Secret"));
    QCOMPARE(catalogue.FindTemplate("Note").name(), "entry");
}

void TestCatalogue::loadReplacesEarlierCatalogue()
{
    QTemporaryDir first;
    QTemporaryDir second;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(first, catalogueOf("<entry type='NOTE' name='Note'/>"))));
    QVERIFY(catalogue.LoadCatalogue(fileWith(second, catalogueOf("<entry type='NOTE' name='Notiz'/>"))));
    QCOMPARE(entryNames(catalogue), QStringList{"Notiz"});
    QVERIFY(!catalogue.FindTemplate("Note"));
    QVERIFY(catalogue.FindTemplate("Notiz"));
}

void TestCatalogue::namesReadInEveryEncodingLeadToTheirTemplates_data()
{
    const QString name = QString::fromUtf8("Führerschein €");
    const QString text = "<catalogue><types><entry type=\"DRIVER'S LICENSE\" name='" + name + "'/></types></catalogue>";
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-8") << text.toUtf8() << name;
    // The euro sign is 0x80 in Windows-1252 and no letter at all in Latin-1.
    QTest::newRow("Windows-1252, undeclared") << *CodePage::windows1252().encode(text) << name;
    QTest::newRow("Latin-1, declared") << "<?xml version='1.0' encoding='ISO-8859-1'?>"
                                              + QString(text).remove(QChar(0x20AC)).toLatin1()
                                       << QString(name).remove(QChar(0x20AC));
    QByteArray utf16("\xff\xfe");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QTest::newRow("UTF-16 with byte order mark") << utf16 << name;
}

void TestCatalogue::namesReadInEveryEncodingLeadToTheirTemplates()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(dir, bytes)));
    QCOMPARE(entryNames(catalogue), QStringList{name});
    QCOMPARE(catalogue.entries().front().icon.value,
             Schema::TypeImageIndex("DRIVER'S LICENSE", true) - Schema::FirstRecordIcon);
    QVERIFY(catalogue.FindTemplate(name));
}

void TestCatalogue::oddShapesGiveEmptyList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("empty entry level") << catalogueOf("") << QStringList{};
    QTest::newRow("no entry level") << QByteArray("<catalogue/>") << QStringList{};
    QTest::newRow("text before entry level")
        << QByteArray("<catalogue>words<types><entry type='NOTE' name='Note'/></types></catalogue>") << QStringList{};
    QTest::newRow("only the first entry level counts")
        << QByteArray("<catalogue><types><entry type='NOTE' name='Note'/></types>"
                      "<types><entry type='NOTE' name='Other'/></types></catalogue>")
        << QStringList{"Note"};
    QTest::newRow("text, comments and CDATA are no entries")
        << catalogueOf("words<!-- c --><entry type='NOTE' name='Note'/><![CDATA[x]]><?pi x?>more")
        << QStringList{"Note"};
    QTest::newRow("declaration and comment before the document element")
        << "<?xml version='1.0' encoding='UTF-8'?>\n<!-- shipped -->\n"
               + catalogueOf("<entry type='NOTE' name='Note'/>")
        << QStringList{"Note"};
    QTest::newRow("entry without attributes") << catalogueOf("<entry/>") << QStringList{""};
}

void TestCatalogue::oddShapesGiveEmptyList()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(dir, text)));
    QCOMPARE(entryNames(catalogue), names);
    QCOMPARE(bool(catalogue.FindTemplate("Note")), names.contains("Note"));
}

void TestCatalogue::unreadableFileGivesEmptyCatalogue_data()
{
    QTest::addColumn<QByteArray>("text"); // empty: no file at all
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("not XML") << QByteArray("language=English\r\n");
    QTest::newRow("not well-formed") << QByteArray("<catalogue><types><entry type='NOTE' name='Note'></types>");
    QTest::newRow("empty file") << QByteArray(" ");
}

void TestCatalogue::unreadableFileGivesEmptyCatalogue()
{
    QFETCH(QByteArray, text);
    QTemporaryDir dir;
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(fileWith(dir, catalogueOf("<entry type='NOTE' name='Note'/>"))));

    const QString path = dir.filePath("broken.xml");
    if (!text.isEmpty())
        TestSupport::writeFile(path, text);
    QVERIFY(!catalogue.LoadCatalogue(path));
    QVERIFY(catalogue.entries().isEmpty());
    QVERIFY(!catalogue.FindTemplate("Note"));
}

void TestCatalogue::shippedCatalogueCoversEveryRecordType()
{
    const QString path = TestSupport::sourceDir() + "/data/config.xml";
    // The entries are found from the document's first node, so nothing may precede it.
    QVERIFY(TestSupport::readFile(path).startsWith("<catalogue>"));

    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(path));
    QCOMPARE(catalogue.entries().size(), Schema::RecordIconCount);

    QStringList keys;
    QSet<QString> names;
    for (const Catalogue::Entry& entry : catalogue.entries()) {
        QVERIFY2(!names.contains(entry.name), qPrintable(entry.name));
        names.insert(entry.name);
        const pugi::xml_node entryElement = catalogue.FindTemplate(entry.name);
        QVERIFY2(entryElement, qPrintable(entry.name));
        // The raw key, since a misspelt one would pass as DEFAULT by its icon.
        const QString key = QString::fromUtf8(entryElement.attribute("type").value());
        QCOMPARE(Schema::TypeKeyForIndex(entry.icon.value, true), key);
        keys.append(key);
    }
    QStringList expected = Schema::recordTypeKeys();
    keys.sort();
    expected.sort();
    QCOMPARE(keys, expected);
}

void TestCatalogue::shippedCatalogueFieldsAreWellFormed()
{
    static const QStringList storedTypes = {"TEXT", "LONG TEXT", "E-MAIL", "NUMBER", "DATE", "TIME", "PHONE"};
    Catalogue catalogue;
    QVERIFY(catalogue.LoadCatalogue(TestSupport::sourceDir() + "/data/config.xml"));

    int timeFields = 0;
    for (const Catalogue::Entry& entry : catalogue.entries()) {
        const pugi::xml_node entryElement = catalogue.FindTemplate(entry.name);
        const pugi::xml_node label = entryElement.first_child();
        QCOMPARE(label.name(), "label");

        QStringList fieldNames;
        for (const pugi::xml_node& child : entryElement.children()) {
            if (child == label)
                continue;
            QCOMPARE(child.name(), "field");
            const QString type = QString::fromUtf8(child.attribute("basic_type").value());
            QVERIFY2(storedTypes.contains(type), qPrintable(entry.name + ": " + type));
            timeFields += type == "TIME";
            fieldNames.append(QString::fromUtf8(child.attribute("name").value()));
        }
        QVERIFY2(!fieldNames.isEmpty(), qPrintable(entry.name));
        QVERIFY2(fieldNames.contains(QString::fromUtf8(label.attribute("link").value())), qPrintable(entry.name));
        if (const pugi::xml_attribute link2 = label.attribute("link2"))
            QVERIFY2(fieldNames.contains(QString::fromUtf8(link2.value())), qPrintable(entry.name));
    }
    QVERIFY(timeFields > 0);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
