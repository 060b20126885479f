#include "ProgramFixture.h"

#include "app/DataFileWriter.h"
#include "config/CaptionTable.h"
#include "datafile/DataFile.h"
#include "datafile/DataFileLock.h"
#include "datafile/ui/FormPassword.h"
#include "document/ui/DocumentTreeModel.h"
#include "editor/ui/RecordEditor.h"
#include "support/TestSupport.h"
#include "tray/ui/SysTray.h"

#include <QAction>
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

class TestFileCommands : public ProgramTestCase {
    Q_OBJECT

private:
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

private slots:
    // The title, the tray hint and the commands on offer follow the file and its changes.
    void windowFollowsTheFileAndItsChanges()
    {
        const auto enabledCommands = [this] {
            QStringList names;
            for (const char* name :
                 {"Save1", "Saveas1", "Changepassword1", "ActionFind", "ActionDelete", "ActionNewField"}) {
                if (main().findChild<QAction*>(name)->isEnabled())
                    names << name;
            }
            return names.join(' ');
        };
        openWithChange();
        QStringList titles{main().windowTitle()};
        QStringList hints{main().SysTray().Hint()};
        QStringList commands{enabledCommands()};
        QVERIFY(main().Save1Click());
        titles << main().windowTitle();
        commands << enabledCommands();
        messages().fileNames.enqueue(path("copy.zv"));
        m_fixture->answerPrompts({"other"});
        QVERIFY(main().Saveas1Click());
        titles << main().windowTitle();
        hints << main().SysTray().Hint();
        main().New1Click();
        titles << main().windowTitle();
        hints << main().SysTray().Hint();
        commands << enabledCommands();
        addGroup("Fresh");
        titles << main().windowTitle();
        commands << enabledCommands();
        QCOMPARE(titles, (QStringList{"private.zv* \u2014 Zantrove 1.1", "private.zv \u2014 Zantrove 1.1",
                                      "copy.zv \u2014 Zantrove 1.1", "Zantrove 1.1", "Untitled* \u2014 Zantrove 1.1"}));
        QCOMPARE(hints, (QStringList{"Zantrove 1.1 \u2014 private.zv", "Zantrove 1.1 \u2014 copy.zv", "Zantrove 1.1"}));
        const QString groupSelected = "Save1 Saveas1 Changepassword1 ActionFind ActionDelete";
        QCOMPARE(commands, (QStringList{groupSelected, groupSelected, "", "Save1 Saveas1 ActionFind ActionDelete"}));
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
        QCOMPARE(messages().headlines().last(),
                 QStringLiteral("This file was opened read-only, as another program has it open. "
                                "Save it under another name."));
        QCOMPARE(readFile(path("shared.zv")), shared);
        QCOMPARE(main().CurrentFileName(), path("mine.zv"));
        DataFileLock thirdProgram;
        QCOMPARE(thirdProgram.acquire(path("mine.zv")), DataFileLock::Result::HeldElsewhere);
        main().New1Click();
        QCOMPARE(thirdProgram.acquire(path("mine.zv")), DataFileLock::Result::Held);
    }

    // The file and each reason on a line of its own after the failure, the
    // reason in the language chosen where it is the program's own.
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
        const QString file = "/home/me/private.zv";
        const QStringList lines = saveFailureMessage(captions, file, failure).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], captions.GetCaption("MessageNotSaved", "Can't save data file"));
        QCOMPARE(lines[1], file);
        QVERIFY2(lines[2].contains(why), qPrintable(lines[2]));
        // A reason of our own is the program's text, in the language chosen.
        if (failure.reason != DataFile::SaveFailure::Reason::System)
            QCOMPARE(lines[2] == saveFailureMessage(CaptionTable(), file, failure).section('\n', 2),
                     language.isEmpty());
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
        QVERIFY(main().actions().find->isEnabled());
        QVERIFY(messages().shown.isEmpty());
    }

    // The keyboard is not lost with a field of the old file; the dialogs start at the open file.
    void openingGivesTheTreeTheKeyboard()
    {
        m_fixture->writeDataFile(path("private.zv"), "secret",
                                 "<data><record type='NOTE'><label>Keys</label>"
                                 "<field name='Notes' basic_type='TEXT'>x</field></record></data>");
        m_fixture->start(path("private.zv"), {"secret"});
        main().TreeView().setCurrentIndex(main().treeModel().firstNode());
        main().recordEditor().controlList().at(1)->setFocus();
        QVERIFY(QDir().mkpath(path("others")));
        m_fixture->writeDataFile(path("others/other.zv"), "other", OneGroup);
        messages().fileNames.enqueue(path("others/other.zv"));
        m_fixture->answerPrompts({"other"});
        main().Open1Click();
        // What gets the keyboard as the window comes back from the password prompt.
        QCOMPARE(main().focusWidget(), &main().TreeView());
        main().Saveas1Click();
        QCOMPARE(messages().fileDialogStarts,
                 (QStringList{QFileInfo(path("private.zv")).absolutePath(), path("others/other.zv")}));
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
        TFormPassword& prompt = m_fixture->program().passwordWindow();
        QStringList titles;
        connect(&prompt, &TrackedDialog::shown, this, [&] { titles << prompt.windowTitle(); });
        main().Open1Click();
        main().Changepassword1Click();
        QCOMPARE(m_fixture->promptsAnswered(), 2);
        const auto* fileLine = prompt.findChild<QLabel*>("LabelFileName");
        QCOMPARE(fileLine->text(), QStringLiteral("private.zv File"));
        QCOMPARE(titles, (QStringList{"Zantrove 1.1", "Change password"}));
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
        main().checkIdleTime();
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
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
