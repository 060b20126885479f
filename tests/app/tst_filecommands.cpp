#include "ProgramFixture.h"

#include "app/DataFileWriter.h"
#include "config/CaptionTable.h"
#include "datafile/Backups.h"
#include "datafile/DataFile.h"
#include "datafile/DataFileLock.h"
#include "datafile/PasswordWindow.h"
#include "document/TreeModel.h"
#include "support/TestSupport.h"
#include "tray/SysTray.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTemporaryFile>
#include <QtTest>

#include <unistd.h>

using TestSupport::readFile;

namespace {

const QByteArray OneGroup = "<data><folder name=\"Home\" type=\"PRIVATE\"/></data>";

using Answer = MessageService::Answer;

// Everything written to standard error while it lives, Qt's messages included:
// outside a test they go there too.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        if (!m_file.open())
            qFatal("cannot create a file for standard error");
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
        m_testHandler = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        });
    }
    ~StandardErrorCapture() { restore(); }

    QByteArray text()
    {
        restore();
        return readFile(m_file.fileName());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        qInstallMessageHandler(m_testHandler);
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
    QtMessageHandler m_testHandler = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(DataFile::SaveFailure)

class TestFileCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFixture> m_fixture;

    TFormMain& main() { return m_fixture->main(); }
    ScriptedMessageService& messages() { return m_fixture->messages; }
    QString path(const QString& name) { return m_fixture->path(name); }

    // An open file "private.zv" (password "secret") with one unsaved change.
    void openWithChange()
    {
        m_fixture->writeDataFile(path("private.zv"), "secret", OneGroup);
        m_fixture->start(path("private.zv"), {"secret"});
        addGroup("Added");
    }

    void addGroup(const char* name)
    {
        pugi::xml_node group = main().XMLDocumentData().root().append_child("folder");
        group.append_attribute("name") = name;
        group.append_attribute("type") = "AUTO";
        main().RebuildAndSelect(group);
        main().SetModified(true);
    }

    // The first line of every message shown: what failed, without the why.
    QStringList headlines()
    {
        QStringList lines;
        for (const QString& text : messages().texts())
            lines << text.section('\n', 0, 0);
        return lines;
    }

    QStringList groupsIn(const QString& file, const QString& password)
    {
        DataDocument document;
        if (DataFile::read(file, password, document) != DataFile::Status::Ok)
            return {"(does not open)"};
        QStringList names;
        for (const pugi::xml_node& group : document.root().children("folder"))
            names << qText(group.attribute("name"));
        return names;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<ProgramFixture>();
    }

    void cleanup()
    {
        m_fixture.reset();
    }

    void saveAsAdoptsTheNewFileOnlyOnceWritten()
    {
        m_fixture->start();
        addGroup("Mine");
        QVERIFY(main().action("Saveas1")->isEnabled());

        messages().fileNames.enqueue(path("missing-folder/new.zv"));
        m_fixture->answerPrompts({"pw1"});
        QVERIFY(!main().Save1Click());
        QCOMPARE(headlines(), QStringList{"Can't save data file"});
        // The system's reason follows.
        QVERIFY(!messages().texts().first().section('\n', 1).isEmpty());
        QVERIFY(main().Modified());
        QVERIFY(main().CurrentFileName().isEmpty());

        messages().fileNames.enqueue(path("new.zv"));
        m_fixture->answerPrompts({"pw2"});
        QVERIFY(main().Save1Click());
        QCOMPARE(main().CurrentFileName(), path("new.zv"));
        QCOMPARE(main().CurrentPassword(), QStringLiteral("pw2"));
        QVERIFY(!main().Modified());
        QVERIFY(main().action("Changepassword1")->isEnabled());
        QCOMPARE(groupsIn(path("new.zv"), "pw2"), QStringList{"Mine"});
    }

    void titleAndTrayHintFollowTheFileAndItsChanges()
    {
        openWithChange();
        QStringList titles{main().windowTitle()};
        QStringList hints{main().SysTray().Hint()};
        QVERIFY(main().Save1Click());
        titles << main().windowTitle();
        messages().fileNames.enqueue(path("copy.zv"));
        m_fixture->answerPrompts({"other"});
        QVERIFY(main().Saveas1Click());
        titles << main().windowTitle();
        hints << main().SysTray().Hint();
        main().New1Click();
        titles << main().windowTitle();
        hints << main().SysTray().Hint();
        addGroup("Fresh");
        titles << main().windowTitle();
        QCOMPARE(titles, (QStringList{"private.zv* \u2014 Zantrove 1.1", "private.zv \u2014 Zantrove 1.1",
                                      "copy.zv \u2014 Zantrove 1.1", "Zantrove 1.1", "Untitled* \u2014 Zantrove 1.1"}));
        QCOMPARE(hints, (QStringList{"Zantrove 1.1 \u2014 private.zv", "Zantrove 1.1 \u2014 copy.zv", "Zantrove 1.1"}));
    }

    void saveKeepsBackupsWhenAsked()
    {
        m_fixture->writeSettings("backups=1\r\n");
        openWithChange();
        const QByteArray previous = readFile(path("private.zv"));
        QVERIFY(main().Save1Click());
        QCOMPARE(readFile(path("~1_private.zv")), previous);
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
    }

    // A protected file stays protected, at its own cost, through Save and Change password.
    void savingKeepsAProtectedFileProtected()
    {
        const ProtectedContainer::DerivationCost cheap{1, ProtectedContainer::DerivationCost::MinMemoryKiB};
        DataDocument document;
        QVERIFY(document.loadText(OneGroup));
        QCOMPARE(DataFile::create(path("private.zvx"), "secret", document, nullptr,
                                  {DataFile::Format::Protected, cheap}),
                 DataFile::Status::Ok);
        m_fixture->start(path("private.zvx"), {"secret"});
        addGroup("Added");
        QVERIFY(main().Save1Click());
        m_fixture->answerPrompts({"other"});
        main().Changepassword1Click();
        QCOMPARE(DataFile::sealingOf(path("private.zvx")).format, DataFile::Format::Protected);
        QCOMPARE(DataFile::sealingOf(path("private.zvx")).cost, cheap);
        QCOMPARE(groupsIn(path("private.zvx"), "other"), (QStringList{"Home", "Added"}));
    }

    // The type Save as starts from follows the setting for a new document;
    // the type chosen decides unless the name typed has one of the two extensions.
    void saveAsWritesTheTypeChosen_data()
    {
        QTest::addColumn<bool>("newFilesProtected");
        QTest::addColumn<int>("chosenType"); // -1: the one offered
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("offeredType");
        QTest::addColumn<DataFile::Format>("written");
        const auto plain = DataFile::Format::Plain;
        const auto protectedFile = DataFile::Format::Protected;
        QTest::newRow("data file by default") << false << -1 << "saved.zv" << 0 << plain;
        QTest::newRow("protected when new files are") << true << -1 << "saved.zvx" << 1 << protectedFile;
        QTest::newRow("protected chosen") << false << 1 << "saved.keys" << 0 << protectedFile;
        QTest::newRow("extension typed wins over the type") << true << 0 << "saved.zvx" << 1 << protectedFile;
    }

    void saveAsWritesTheTypeChosen()
    {
        QFETCH(bool, newFilesProtected);
        QFETCH(int, chosenType);
        QFETCH(QString, name);
        QFETCH(int, offeredType);
        QFETCH(DataFile::Format, written);
        if (newFilesProtected)
            m_fixture->writeSettings("newprotected=1\r\n");
        m_fixture->start();
        addGroup("Mine");
        messages().fileNames.enqueue(path(name));
        if (chosenType >= 0)
            messages().filterChoices.enqueue(chosenType);
        // Longer than a .zv file can hold, and outside its code page.
        const QString password = written == DataFile::Format::Protected ? "correct horse battery staple ü" : "secret";
        m_fixture->answerPrompts({password});
        QVERIFY(main().Saveas1Click());
        QCOMPARE(messages().saveDialogs.last().preselected, offeredType);
        QCOMPARE(DataFile::sealingOf(path(name)).format, written);
        QCOMPARE(groupsIn(path(name), password), QStringList{"Mine"});
        const auto* typeLine = m_fixture->program().passwordWindow().findChild<QLabel*>("LabelFileType");
        QCOMPARE(typeLine->text(), written == DataFile::Format::Protected ? "Zantrove protected file" : "Zantrove data file");

        // Saved again and reopened, it stays what it was.
        addGroup("More");
        QVERIFY(main().Save1Click());
        QCOMPARE(DataFile::sealingOf(path(name)).format, written);
        m_fixture->answerPrompts({password});
        messages().fileNames.enqueue(path(name));
        main().Open1Click();
        QCOMPARE(main().CurrentFileName(), path(name));
        QCOMPARE(main().treeModel().nodeCount(), 2);
    }

    void saveOfADeletedFileTurnsIntoSaveAs()
    {
        openWithChange();
        QFile::remove(path("private.zv"));
        messages().fileNames.enqueue(path("elsewhere.zv"));
        m_fixture->answerPrompts({"other"});
        QVERIFY(main().Save1Click());
        QCOMPARE(messages().fileDialogs, 1);
        QCOMPARE(main().CurrentFileName(), path("elsewhere.zv"));
    }

    void aFileOpenElsewhereOpensOnlyReadOnly_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only") << true;
        QTest::newRow("cancelled") << false;
    }

    void aFileOpenElsewhereOpensOnlyReadOnly()
    {
        QFETCH(bool, readOnly);
        m_fixture->writeDataFile(path("shared.zv"), "secret", OneGroup);
        const QByteArray shared = readFile(path("shared.zv"));
        DataFileLock otherProgram;
        QCOMPARE(otherProgram.acquire(path("shared.zv")), DataFileLock::Result::Held);
        m_fixture->start();

        messages().answers.enqueue(readOnly ? Answer::Yes : Answer::No);
        messages().fileNames.enqueue(path("shared.zv"));
        m_fixture->answerPrompts({"secret"});
        main().Open1Click();
        QVERIFY(messages().texts().first().contains(
            QStringLiteral("(process %1 on ").arg(QCoreApplication::applicationPid())));
        QCOMPARE(main().CurrentFileName(), readOnly ? path("shared.zv") : QString());
        if (!readOnly)
            return;
        QCOMPARE(main().windowTitle(), QStringLiteral("shared.zv (read-only) \u2014 Zantrove 1.1"));

        // Save goes elsewhere, and the copy saved there is this program's.
        addGroup("Mine");
        messages().fileNames.enqueue(path("mine.zv"));
        m_fixture->answerPrompts({"pw"});
        QVERIFY(main().Save1Click());
        QCOMPARE(headlines().last(), QStringLiteral("This file was opened read-only, as another program has it open. "
                                                    "Save it under another name."));
        QCOMPARE(readFile(path("shared.zv")), shared);
        QCOMPARE(main().CurrentFileName(), path("mine.zv"));
        DataFileLock thirdProgram;
        QCOMPARE(thirdProgram.acquire(path("mine.zv")), DataFileLock::Result::HeldElsewhere);
        main().New1Click();
        QCOMPARE(thirdProgram.acquire(path("mine.zv")), DataFileLock::Result::Held);
    }

    void saveAsNeverWritesOverAFileOpenElsewhere()
    {
        openWithChange();
        m_fixture->writeDataFile(path("shared.zv"), "secret", OneGroup);
        DataFileLock otherProgram;
        QCOMPARE(otherProgram.acquire(path("shared.zv")), DataFileLock::Result::Held);
        const QByteArray shared = readFile(path("shared.zv"));
        messages().fileNames.enqueue(path("shared.zv"));
        QVERIFY(!main().Saveas1Click());
        QVERIFY(headlines().last().endsWith(QStringLiteral("shared.zv")));
        QCOMPARE(readFile(path("shared.zv")), shared);
        QCOMPARE(main().CurrentFileName(), path("private.zv"));
    }

    void newAsksWithoutQuestionMarkAndKeepsWorkUnlessSaved_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("cancel") << Answer::Cancel << false;
        QTest::newRow("no") << Answer::No << true;
        QTest::newRow("yes, save dialog cancelled") << Answer::Yes << false;
    }

    void newAsksWithoutQuestionMarkAndKeepsWorkUnlessSaved()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, emptied);
        m_fixture->start();
        addGroup("Unsaved");
        messages().answers.enqueue(answer);
        main().New1Click();
        QCOMPARE(messages().texts(), QStringList{"Do you want to save the changes"});
        QCOMPARE(main().treeModel().nodeCount(), emptied ? 0 : 1);
        QCOMPARE(main().Modified(), !emptied);
        if (emptied) {
            for (const char* name : {"Changepassword1", "ActionNewField", "ActionDelete", "ActionFind", "Save1"})
                QVERIFY2(!main().action(name)->isEnabled(), name);
        }
    }

    void failedOpenChangesNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << "" << "wrong";
        QTest::newRow("cut short") << "cut" << "other";
        QTest::newRow("bit flipped") << "flip" << "other";
        QTest::newRow("far too large") << "huge" << "other";
        QTest::newRow("folder in its place") << "folder" << "other";
    }

    void failedOpenChangesNothing()
    {
        QFETCH(QString, damage);
        QFETCH(QString, password);
        openWithChange();
        const QString other = path("other.zv");
        m_fixture->writeDataFile(other, "other", OneGroup);
        QByteArray bytes = readFile(other);
        if (damage == "cut")
            TestSupport::writeFile(other, bytes.chopped(5));
        if (damage == "flip")
            TestSupport::writeFile(other, bytes.replace(10 + 41, 1, "="));
        if (damage == "huge")
            QVERIFY(QFile::resize(other, qint64(1) << 30));
        if (damage == "folder")
            QVERIFY(QFile::remove(other) && QDir(path(".")).mkdir("other.zv"));

        messages().answers.enqueue(Answer::No);
        messages().fileNames.enqueue(other);
        m_fixture->answerPrompts({password});
        main().Open1Click();
        QCOMPARE(messages().texts(), (QStringList{"Do you want to save the changes?",
                                                  "Can't open data file. Make sure you have entered correct password"}));
        QCOMPARE(main().CurrentFileName(), path("private.zv"));
        QCOMPARE(main().CurrentPassword(), QStringLiteral("secret"));
        QCOMPARE(main().treeModel().nodeCount(), 2);
        QVERIFY(main().Modified());
        QVERIFY(main().Save1Click());
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
    }

    void fullDiskAtSaveKeepsTheFileTheBackupsAndTheChanges()
    {
        m_fixture->writeSettings("backups=1\r\n");
        openWithChange();
        QVERIFY(main().Save1Click());
        addGroup("Unsaved");
        const auto dataFiles = [this] {
            QMap<QString, QByteArray> files;
            const QDir folder(path("."));
            const QString lock = QFileInfo(DataFileLock::lockFileName(path("private.zv"))).fileName();
            for (const QString& name : folder.entryList({"*.zv*"}, QDir::Files | QDir::Hidden)) {
                if (name != lock)
                    files[name] = readFile(folder.filePath(name));
            }
            return files;
        };
        const QMap<QString, QByteArray> before = dataFiles();
        QCOMPARE(before.keys(), (QStringList{"private.zv", "~1_private.zv"}));
        {
            TestSupport::FileSizeLimit diskFull(64);
            QVERIFY(!main().Save1Click());
        }
        QCOMPARE(headlines(), QStringList{"Can't save data file"});
        QVERIFY(main().Modified());
        QCOMPARE(dataFiles(), before);
    }

    void saveInAnOddBackupSlotNamesIt()
    {
        m_fixture->writeSettings("backups=1\r\n");
        openWithChange();
        QVERIFY(QDir(path(".")).mkdir("~1_private.zv"));
        QVERIFY(!main().Save1Click());
        QCOMPARE(messages().texts().size(), 1);
        const QString text = messages().texts().first();
        QVERIFY2(text.contains(path("~1_private.zv")) && text.contains("Switch backups off"), qPrintable(text));
    }

    // Each reason on a line of its own after the failure, in the language
    // chosen where the reason is the program's own.
    void saveFailureMessageSaysWhy_data()
    {
        using Reason = DataFile::SaveFailure::Reason;
        QTest::addColumn<QString>("language");
        QTest::addColumn<DataFile::SaveFailure>("failure");
        QTest::addColumn<QString>("why");
        const DataFile::SaveFailure slot{Reason::BackupSlotNotAFile, "/home/me/~1_private.zv", "not a regular file"};
        const DataFile::SaveFailure folder{Reason::FolderNotWritable, "/home/me", "Permission denied"};
        const DataFile::SaveFailure system{Reason::System, {}, "No space left on device"};
        for (const char* language : {"", "Deutsch"}) {
            const QByteArray name = *language ? language : "English";
            QTest::newRow(name + " backup slot") << language << slot << slot.path;
            QTest::newRow(name + " folder") << language << folder << folder.path;
            QTest::newRow(name + " system") << language << system << system.systemReason;
        }
    }

    void saveFailureMessageSaysWhy()
    {
        QFETCH(QString, language);
        QFETCH(DataFile::SaveFailure, failure);
        QFETCH(QString, why);
        CaptionTable captions;
        if (!language.isEmpty())
            captions.load(TestSupport::sourceDir() + "/data/languages/" + language + "/lang.ini");
        const QStringList lines = saveFailureMessage(captions, failure).split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], captions.GetCaption("MessageNotSaved", "Can't save data file"));
        QVERIFY2(lines[1].contains(why), qPrintable(lines[1]));
        // A reason of our own is the program's text, in the language chosen.
        if (failure.reason != DataFile::SaveFailure::Reason::System)
            QCOMPARE(lines[1] == saveFailureMessage(CaptionTable(), failure).section('\n', 1), language.isEmpty());
    }

    void openReplacesTheDocument()
    {
        m_fixture->start();
        m_fixture->writeDataFile(path("other.zv"), "other", OneGroup);
        messages().fileNames.enqueue(path("other.zv"));
        m_fixture->answerPrompts({"other"});
        main().Open1Click();
        QCOMPARE(main().CurrentFileName(), path("other.zv"));
        QCOMPARE(main().CurrentPassword(), QStringLiteral("other"));
        QCOMPARE(main().treeModel().nodeCount(), 1);
        QVERIFY(main().action("ActionFind")->isEnabled());
        QVERIFY(messages().shown.isEmpty());
    }

    void changePasswordWritesPendingChangesWithoutBackup()
    {
        m_fixture->writeSettings("backups=1\r\n");
        openWithChange();
        m_fixture->answerPrompts({"renewed"});
        main().Changepassword1Click();
        QCOMPARE(messages().texts(), QStringList{"Password changed"});
        QVERIFY(!main().Modified());
        QCOMPARE(groupsIn(path("private.zv"), "renewed"), (QStringList{"Home", "Added"}));
        QCOMPARE(groupsIn(path("private.zv"), "secret"), QStringList{"(does not open)"});
        QVERIFY(!QFile::exists(path("~1_private.zv")));
    }

    void changePasswordOffersToRemoveOldBackups_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("removed") << Answer::Yes;
        QTest::newRow("kept") << Answer::No;
    }

    void changePasswordOffersToRemoveOldBackups()
    {
        QFETCH(Answer, answer);
        m_fixture->writeSettings("backups=1\r\n");
        openWithChange();
        QVERIFY(main().Save1Click());
        QVERIFY(main().Save1Click());
        const QStringList backups = Backups::existingBackups(path("private.zv"));
        QCOMPARE(backups.size(), 2);
        messages().answers.enqueue(answer);
        m_fixture->answerPrompts({"renewed"});
        main().Changepassword1Click();
        QCOMPARE(messages().shown.size(), 2);
        QCOMPARE(messages().shown[1].kind, MessageService::Kind::Confirm);
        QVERIFY(messages().shown[1].text.endsWith('?'));
        QCOMPARE(Backups::existingBackups(path("private.zv")), answer == Answer::Yes ? QStringList{} : backups);
        QCOMPARE(groupsIn(path("private.zv"), "renewed"), (QStringList{"Home", "Added"}));
    }

    void saveKeepsTheModeOfASharedFile()
    {
        openWithChange();
        const auto groupShared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
        QVERIFY(QFile::setPermissions(path("private.zv"), groupShared));
        QVERIFY(main().Save1Click());
        QCOMPARE(QFile::permissions(path("private.zv")) & 0x7077, QFile::Permissions(groupShared));
    }

    // After a failed open of another file, the prompt still names the file
    // whose password changes.
    void changePasswordNamesTheCurrentFile()
    {
        openWithChange();
        m_fixture->writeDataFile(path("other.zv"), "other", OneGroup);
        messages().answers.enqueue(Answer::No);
        messages().fileNames.enqueue(path("other.zv"));
        m_fixture->answerPrompts({"wrong", ""});
        main().Open1Click();
        main().Changepassword1Click();
        QCOMPARE(m_fixture->promptsAnswered(), 2);
        const auto* fileLine = m_fixture->program().passwordWindow().findChild<QLabel*>("LabelFileName");
        QCOMPARE(fileLine->text(), QStringLiteral("private.zv File"));
    }

    void cancelledPromptsNeverChangeThePassword()
    {
        openWithChange();
        m_fixture->answerPrompts({""});
        main().Changepassword1Click();
        messages().fileNames.enqueue(path("copy.zv"));
        m_fixture->answerPrompts({""});
        QVERIFY(!main().Saveas1Click());
        QCOMPARE(main().CurrentPassword(), QStringLiteral("secret"));
        QVERIFY(main().Save1Click());
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
    }

    // Passwords and record contents stay out of the settings file and out of
    // standard error through opening, saving, changing the password, a lock
    // with a wrong guess and the end of the program.
    void noSecretLeavesTheDataFile()
    {
        const QByteArray secrets[] = {"Open-Pw-31", "Saved-As-Pw-47", "Changed-Pw-59", "Wrong-Guess-61",
                                      "Card-4111-1111"};
        StandardErrorCapture standardError;
        m_fixture->writeSettings("autoblocking=1\r\nblockingtime=1\r\nopenlast=1\r\n");
        m_fixture->writeDataFile(path("private.zv"), "Open-Pw-31",
                                 "<data><record parent_type=\"Card\" type=\"CREDIT CARD\"><label link=\"No\"/>"
                                 "<field name=\"No\" basic_type=\"TEXT\">Card-4111-1111</field></record></data>");
        m_fixture->start(path("private.zv"), {"Open-Pw-31"});
        messages().fileNames.enqueue(path("copy.zv"));
        m_fixture->answerPrompts({"Saved-As-Pw-47", "Changed-Pw-59"});
        QVERIFY(main().Saveas1Click());
        main().Changepassword1Click();
        QCOMPARE(main().CurrentPassword(), QStringLiteral("Changed-Pw-59"));

        m_fixture->idle.idleMilliseconds = 60 * 1000;
        PromptAnswerer unlock(m_fixture->program().lockPrompt(), {"Wrong-Guess-61", "Changed-Pw-59"});
        main().TimerTimer();
        QCOMPARE(unlock.answered, 2);
        QVERIFY(main().close());
        m_fixture->program().finish();

        const QByteArray settings = readFile(path("zantrove.ini"));
        QVERIFY(settings.contains("copy.zv"));
        const QByteArray errors = standardError.text();
        for (const QByteArray& secret : secrets) {
            QVERIFY2(!settings.contains(secret), secret.constData());
            QVERIFY2(!errors.contains(secret), secret.constData());
        }
    }

    void closing_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("questions");
        QTest::newRow("automatic save") << QByteArray("autosave=1\r\n") << QList<Answer>{} << true << true << 0;
        QTest::newRow("no") << QByteArray() << QList<Answer>{Answer::No} << true << false << 1;
        QTest::newRow("cancel") << QByteArray() << QList<Answer>{Answer::Cancel} << false << false << 1;
        QTest::newRow("yes") << QByteArray() << QList<Answer>{Answer::Yes} << true << true << 1;
    }

    void closing()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        QFETCH(int, questions);
        m_fixture->writeSettings(settings);
        openWithChange();
        for (Answer answer : answers)
            messages().answers.enqueue(answer);
        QCOMPARE(main().FormCloseQuery(), closes);
        QCOMPARE(messages().shown.size(), questions);
        if (questions > 0)
            QCOMPARE(messages().texts().first(), QStringLiteral("Do you want to save the changes?"));
        QCOMPARE(groupsIn(path("private.zv"), "secret").size(), saved ? 2 : 1);
    }

    void failedAutomaticSaveAsksAndKeepsTheWindowOpen()
    {
        m_fixture->writeSettings("autosave=1\r\n");
        openWithChange();
        // A folder in place of the file makes every write fail, for root too.
        QFile::remove(path("private.zv"));
        QVERIFY(QDir(path(".")).mkdir("private.zv"));
        messages().answers.enqueue(Answer::Yes);
        QVERIFY(!main().FormCloseQuery());
        QCOMPARE(headlines(), (QStringList{"Can't save data file", "Do you want to save the changes?",
                                           "Can't save data file"}));
        QVERIFY(main().Modified());
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
