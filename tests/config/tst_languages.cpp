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

    QCOMPARE(ListLanguages(languages + '/'), QStringList{"English"});
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
    QTest::newRow("other scripts") << QStringList{"Русский", "Français"} << QStringList{"English", "Français", "Русский"};
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

    QCOMPARE(ListLanguages(languages + '/'), expected);
}

QTEST_GUILESS_MAIN(TestLanguages)
#include "tst_languages.moc"
