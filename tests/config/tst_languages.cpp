#include "config/Languages.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestLanguages : public QObject {
    Q_OBJECT

private slots:
    void withoutFoldersOnlyEnglish_data();
    void withoutFoldersOnlyEnglish();
    void foldersFollowEnglishSorted_data();
    void foldersFollowEnglishSorted();
    void languageGivesLocaleAndCodePage_data();
    void languageGivesLocaleAndCodePage();
};

void TestLanguages::withoutFoldersOnlyEnglish_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("empty folder") << "empty";
    QTest::newRow("files only") << "files";
    QTest::newRow("a file in the folder's place") << "file";
}

void TestLanguages::withoutFoldersOnlyEnglish()
{
    QFETCH(QString, setup);
    QTemporaryDir dir;
    const QString languages = dir.path() + "/languages";
    if (setup == "empty" || setup == "files")
        QVERIFY(QDir().mkpath(languages));
    if (setup == "files")
        TestSupport::writeFile(languages + "/Deutsch", "not a folder");
    if (setup == "file")
        TestSupport::writeFile(languages, "not a folder");

    QCOMPARE(Languages::ListLanguages(languages + '/'), QStringList{"English"});
}

void TestLanguages::foldersFollowEnglishSorted_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no English folder") << QStringList{"Polski", "Deutsch", "Francais", "Cesky"}
                                       << QStringList{"English", "Cesky", "Deutsch", "Francais", "Polski"};
    QTest::newRow("English folder") << QStringList{"Polski", "English", "Deutsch"}
                                    << QStringList{"English", "Deutsch", "Polski"};
    QTest::newRow("letter case ignored, then kept apart")
        << QStringList{"english", "deutsch", "Francais", "Deutsch"}
        << QStringList{"English", "Deutsch", "deutsch", "english", "Francais"};
    QTest::newRow("other scripts") << QStringList{"Русский", "Français"}
                                   << QStringList{"English", "Français", "Русский"};
}

void TestLanguages::foldersFollowEnglishSorted()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString languages = dir.path() + "/languages";
    for (const QString& folder : folders)
        QVERIFY(QDir().mkpath(languages + '/' + folder));
    TestSupport::writeFile(languages + "/lang.ini", "a file, not a language");

    QCOMPARE(Languages::ListLanguages(languages + '/'), expected);
}

void TestLanguages::languageGivesLocaleAndCodePage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("codePage");
    QTest::newRow("English") << "English"
                             << "en" << 1252;
    QTest::newRow("own name") << "Deutsch"
                              << "de" << 1252;
    QTest::newRow("own name, other case") << QString::fromUtf8("Français") << "fr" << 1252;
    QTest::newRow("Cyrillic") << QString::fromUtf8("Русский") << "ru" << 1251;
    QTest::newRow("English name") << "polish"
                                  << "pl" << 1250;
    QTest::newRow("no language") << "Klingonisch"
                                 << "en" << 1252;
}

void TestLanguages::languageGivesLocaleAndCodePage()
{
    QFETCH(QString, language);
    QFETCH(QString, locale);
    QFETCH(int, codePage);
    QCOMPARE(Languages::LanguageLocale(language).name().section('_', 0, 0), locale);
    QCOMPARE(Languages::DefaultCodePage(language).number(), codePage);
}

QTEST_GUILESS_MAIN(TestLanguages)
#include "tst_languages.moc"
