#include "config/Languages.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>

namespace {

// The subfolders of folder in the order the file system gives them, read
// without Qt so that any sorting on Qt's side would show.
QStringList foldersInFileSystemOrder(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != "." && name != ".." && QFileInfo(folder + '/' + name).isDir())
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

class TestLanguages : public QObject {
    Q_OBJECT

private slots:
    void withoutFoldersOnlyEnglish_data();
    void withoutFoldersOnlyEnglish();
    void foldersFollowEnglishInFileSystemOrder_data();
    void foldersFollowEnglishInFileSystemOrder();
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

void TestLanguages::foldersFollowEnglishInFileSystemOrder_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("englishAdded");
    QTest::newRow("no English folder") << QStringList{"Polski", "Deutsch", "Francais", "Cesky"} << true;
    QTest::newRow("English folder") << QStringList{"Polski", "English", "Deutsch", "Cesky"} << false;
    QTest::newRow("english in lower case") << QStringList{"english", "Deutsch"} << true;
}

void TestLanguages::foldersFollowEnglishInFileSystemOrder()
{
    QFETCH(QStringList, folders);
    QFETCH(bool, englishAdded);
    QTemporaryDir dir;
    const QString languages = dir.path() + "/languages";
    for (const QString& folder : folders)
        QVERIFY(QDir().mkpath(languages + '/' + folder));
    TestSupport::writeFile(languages + "/lang.ini", "a file, not a language");

    QStringList expected = foldersInFileSystemOrder(languages);
    QCOMPARE(expected.size(), folders.size());
    if (englishAdded)
        expected.prepend("English");
    QCOMPARE(ListLanguages(languages + '/'), expected);
}

QTEST_GUILESS_MAIN(TestLanguages)
#include "tst_languages.moc"
