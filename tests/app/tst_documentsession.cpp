#include "app/DocumentSession.h"
#include "app/PasswordPrompt.h"
#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "datafile/Backups.h"
#include "datafile/DataFileLock.h"
#include "datafile/DerivationBudget.h"

#include "support/InPlaceWork.h"
#include "support/ScriptedMessageService.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

using TestSupport::readFile;

namespace {

const QByteArray OneGroup = "<data><folder name=\"Home\" type=\"PRIVATE\"/></data>";
// What new protected files cost here unless a test measures otherwise: the
// cheapest derivation a file may have, for speed.
const ProtectedContainer::DerivationCost MeasuredCost{1, ProtectedContainer::DerivationCost::MinMemoryKiB};

using Answer = MessageService::Answer;
using Purpose = PasswordPrompt::Purpose;

// Answers each prompt with the next password of its list; an empty one, or
// none left, cancels. Records what each prompt was asked about.
class ScriptedPasswordPrompt final : public PasswordPrompt {
public:
    struct Asked {
        QString path;
        DataFile::Format format;
        Purpose purpose;
    };
    QStringList passwords;
    QList<Asked> asked;

    std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) override
    {
        asked.append({path, format, purpose});
        const QString password = passwords.isEmpty() ? QString() : passwords.takeFirst();
        return password.isEmpty() ? std::nullopt : std::optional<QString>(password);
    }
};

QStringList groupsIn(const DataDocument& document)
{
    QStringList names;
    for (const pugi::xml_node& group : document.root().children("folder"))
        names << qText(group.attribute("name"));
    return names;
}

QStringList groupsIn(const QString& file, const QString& password)
{
    DataDocument document;
    if (DataFile::read(file, password, document) != DataFile::Status::Ok)
        return {"(does not open)"};
    return groupsIn(document);
}

} // namespace

class TestDocumentSession : public QObject {
    Q_OBJECT

private:
    // What one test works with, made afresh for each.
    struct Harness {
        QTemporaryDir folder;
        ScriptedMessageService messages;
        CaptionTable captions;
        SettingsStore settings;
        ScriptedPasswordPrompt prompt;
        InPlaceWork fileWork;
        DocumentSession session{messages, captions, settings, fileWork};
        Harness()
        {
            session.setPasswordPrompt(&prompt);
            session.setCalibration([] { return std::optional(MeasuredCost); });
        }
    };
    std::unique_ptr<Harness> m_harness;

    DocumentSession& session() { return m_harness->session; }
    ScriptedMessageService& messages() { return m_harness->messages; }
    ScriptedPasswordPrompt& prompt() { return m_harness->prompt; }
    SettingsStore& settings() { return m_harness->settings; }
    QString path(const QString& name) const { return m_harness->folder.filePath(name); }

    void writeDataFile(const QString& file, const QString& password, const DataFile::Sealing& sealing = {})
    {
        DataDocument document;
        QVERIFY(document.loadText(OneGroup));
        QCOMPARE(DataFile::create(file, password, document, nullptr, sealing), DataFile::Status::Ok);
    }

    void addGroup(const char* name)
    {
        pugi::xml_node group = session().document().root().append_child("folder");
        group.append_attribute("name") = name;
        group.append_attribute("type") = "AUTO";
        session().SetModified(true);
    }

    // Another program replaces the file by rename, as sync programs do,
    // adding a group.
    void replaceElsewhere(const QString& password, const QString& name = "private.zv",
                          const DataFile::Sealing& sealing = {})
    {
        DataDocument document;
        QVERIFY(document.loadText(OneGroup));
        document.root().append_child("folder").append_attribute("name") = "Elsewhere";
        QCOMPARE(DataFile::write(path(name), password, document, nullptr, sealing), DataFile::Status::Ok);
    }

    // file (password "secret", sealed as sealing) open with one unsaved change.
    void openWithChange(const QString& name = "private.zv", const DataFile::Sealing& sealing = {})
    {
        writeDataFile(path(name), "secret", sealing);
        prompt().passwords << "secret";
        session().OpenStartupFile(path(name));
        QCOMPARE(session().fileName(), path(name));
        addGroup("Added");
    }

private slots:
    void init() { m_harness = std::make_unique<Harness>(); }
    void cleanup() { m_harness.reset(); }

    void saveAsAdoptsTheNewFileOnlyOnceWritten()
    {
        addGroup("Mine");
        messages().fileNames.enqueue(path("missing-folder/new.zv"));
        prompt().passwords << "pw1";
        QVERIFY(!session().save());
        QCOMPARE(messages().headlines(), QStringList{"Can't save data file"});
        // The file, then the system's reason.
        QCOMPARE(messages().texts().first().section('\n', 1, 1), path("missing-folder/new.zv"));
        QVERIFY(!messages().texts().first().section('\n', 2).isEmpty());
        QVERIFY(session().Modified());
        QVERIFY(session().fileName().isEmpty());

        messages().fileNames.enqueue(path("new.zv"));
        prompt().passwords << "pw2";
        QVERIFY(session().save());
        QCOMPARE(session().fileName(), path("new.zv"));
        QCOMPARE(session().password(), QStringLiteral("pw2"));
        QVERIFY(!session().Modified());
        QCOMPARE(groupsIn(path("new.zv"), "pw2"), QStringList{"Mine"});
        QCOMPARE(prompt().asked.last().purpose, Purpose::New);
        // Both writes ran as long work the user is told about.
        QCOMPARE(m_harness->fileWork.descriptions, QStringList({"Saving…", "Saving…"}));
    }

    // The type Save as starts from follows the setting for a new document;
    // the type chosen decides unless the name typed has one of the two extensions.
    void saveAsWritesTheTypeChosen_data()
    {
        QTest::addColumn<QString>("newFilesProtected"); // the setting; empty: absent
        QTest::addColumn<int>("chosenType");            // -1: the one offered
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("offeredType");
        QTest::addColumn<DataFile::Format>("written");
        const auto plain = DataFile::Format::Plain;
        const auto protectedFile = DataFile::Format::Protected;
        QTest::newRow("protected by default") << "" << -1 << "saved.keys" << 1 << protectedFile;
        QTest::newRow("data file when new files are not protected") << "0" << -1 << "saved.zv" << 0 << plain;
        QTest::newRow("protected when new files are") << "1" << -1 << "saved.zvx" << 1 << protectedFile;
        QTest::newRow("protected chosen") << "0" << 1 << "saved.keys" << 0 << protectedFile;
        QTest::newRow("extension typed wins over the type") << "1" << 0 << "saved.zvx" << 1 << protectedFile;
        QTest::newRow("data file chosen") << "" << 0 << "saved.keys" << 1 << plain;
    }

    void saveAsWritesTheTypeChosen()
    {
        QFETCH(QString, newFilesProtected);
        QFETCH(int, chosenType);
        QFETCH(QString, name);
        QFETCH(int, offeredType);
        QFETCH(DataFile::Format, written);
        settings().SetSetting(SettingKey::NewFilesProtected, newFilesProtected);
        addGroup("Mine");
        messages().fileNames.enqueue(path(name));
        if (chosenType >= 0)
            messages().filterChoices.enqueue(chosenType);
        // Longer than a .zv file can hold, and outside its code page.
        const QString password = written == DataFile::Format::Protected ? "correct horse battery staple ü" : "secret";
        prompt().passwords << password;
        QVERIFY(session().saveAs());
        QCOMPARE(messages().saveDialogs.last().preselected, offeredType);
        QCOMPARE(prompt().asked.last().format, written);
        QCOMPARE(DataFile::sealingOf(path(name)).format, written);
        QCOMPARE(groupsIn(path(name), password), QStringList{"Mine"});

        // Saved again and reopened, it stays what it was.
        addGroup("More");
        QVERIFY(session().save());
        QCOMPARE(DataFile::sealingOf(path(name)).format, written);
        prompt().passwords << password;
        messages().fileNames.enqueue(path(name));
        session().open();
        QCOMPARE(prompt().asked.last().format, written);
        QCOMPARE(session().fileName(), path(name));
        QCOMPARE(groupsIn(session().document()), (QStringList{"Mine", "More"}));
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
        addGroup("Unsaved");
        QSignalSpy replaced(&session(), &DocumentSession::documentReplaced);
        messages().answers.enqueue(answer);
        session().newDocument();
        QCOMPARE(messages().texts(), QStringList{"Do you want to save the changes"});
        QCOMPARE(groupsIn(session().document()), emptied ? QStringList{} : QStringList{"Unsaved"});
        QCOMPARE(session().Modified(), !emptied);
        QCOMPARE(replaced.count(), emptied ? 1 : 0);
    }

    void failedOpenChangesNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << ""
                                        << "wrong";
        QTest::newRow("prompt cancelled") << ""
                                          << "";
        QTest::newRow("cut short") << "cut"
                                   << "other";
        QTest::newRow("bit flipped") << "flip"
                                     << "other";
        QTest::newRow("far too large") << "huge"
                                       << "other";
        QTest::newRow("folder in its place") << "folder"
                                             << "other";
    }

    void failedOpenChangesNothing()
    {
        QFETCH(QString, damage);
        QFETCH(QString, password);
        openWithChange();
        const QString other = path("other.zv");
        writeDataFile(other, "other");
        QByteArray bytes = readFile(other);
        if (damage == "cut")
            TestSupport::writeFile(other, bytes.chopped(5));
        if (damage == "flip")
            TestSupport::writeFile(other, bytes.replace(10 + 41, 1, "="));
        if (damage == "huge")
            QVERIFY(QFile::resize(other, qint64(1) << 30));
        if (damage == "folder")
            QVERIFY(QFile::remove(other) && QDir(path(".")).mkdir("other.zv"));

        QSignalSpy replaced(&session(), &DocumentSession::documentReplaced);
        messages().answers.enqueue(Answer::No);
        messages().fileNames.enqueue(other);
        prompt().passwords << password;
        session().open();
        QStringList expected{"Do you want to save the changes?"};
        if (!password.isEmpty())
            expected << "Can't open data file. Make sure you have entered correct password";
        QCOMPARE(messages().texts(), expected);
        QCOMPARE(replaced.count(), 0);
        QCOMPARE(session().fileName(), path("private.zv"));
        QCOMPARE(session().password(), QStringLiteral("secret"));
        QCOMPARE(groupsIn(session().document()), (QStringList{"Home", "Added"}));
        QVERIFY(session().Modified());
        QVERIFY(session().save());
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
    }

    // A password the code page of older files cannot hold may be the right
    // one: the message names the code page instead of doubting the password.
    void passwordOutsideTheCodePageNamesIt()
    {
        writeDataFile(path("other.zv"), "secret");
        messages().fileNames.enqueue(path("other.zv"));
        prompt().passwords << QString::fromUtf8("пароль");
        session().open();
        QVERIFY(messages().texts().value(0).contains("Windows-1252"));
    }

    // Asked or refused before the password, on a machine of known speed and memory.
    void costlyDerivationsAreAskedAboutOrRefused_data()
    {
        QTest::addColumn<quint64>("physicalMiB");
        QTest::addColumn<std::optional<Answer>>("answer"); // none: no question
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("opened");
        const QString question = "Opening this file derives its key with 2 passes over 8 MiB, which takes about 16 "
                                 "seconds on this computer. Open it?";
        QTest::newRow("slow, agreed") << 4096ull << std::optional(Answer::Yes) << question << true;
        QTest::newRow("slow, declined") << 4096ull << std::optional(Answer::No) << question << false;
        QTest::newRow("beyond the memory")
            << 15ull << std::optional<Answer>()
            << "Opening this file takes 8 MiB of memory to derive its key, more than this computer can give. It is "
               "not opened."
            << false;
    }

    void costlyDerivationsAreAskedAboutOrRefused()
    {
        QFETCH(quint64, physicalMiB);
        QFETCH(std::optional<Answer>, answer);
        QFETCH(QString, told);
        QFETCH(bool, opened);
        writeDataFile(path("vault.zvx"), "secret", {DataFile::Format::Protected, {2, 8192}});
        DerivationBudget::assumeMachine(DerivationBudget::Machine{1.0, physicalMiB << 20});
        const auto measured = qScopeGuard([] { DerivationBudget::assumeMachine(std::nullopt); });
        if (answer)
            messages().answers.enqueue(*answer);
        prompt().passwords << "secret";
        session().OpenStartupFile(path("vault.zvx"));
        QCOMPARE(messages().texts(), QStringList{told});
        QCOMPARE(prompt().asked.size(), opened ? 1 : 0);
        QCOMPARE(session().fileName(), opened ? path("vault.zvx") : QString());
    }

    // Killed saves leave copies under the old password; they go once this
    // program holds the file, never while another one may be saving it.
    void openingClearsLeftoversOfKilledSaves_data()
    {
        QTest::addColumn<QString>("atTheLock"); // "held": another program's lock; "link": a dangling link
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("lock taken") << QString() << QStringList() << true;
        QTest::newRow("held elsewhere: read-only")
            << "held" << QStringList{"Open it read-only? Your changes can then be saved only under another name."}
            << false;
        QTest::newRow("no lock file at the lock's name")
            << "link" << QStringList{"has the name of this file's lock but is no lock file"} << true;
    }

    void openingClearsLeftoversOfKilledSaves()
    {
        QFETCH(QString, atTheLock);
        QFETCH(QStringList, told);
        QFETCH(bool, cleared);
        writeDataFile(path("private.zv"), "secret");
        const QString leftover = path(".private.zv.AbCdEf");
        QVERIFY(QFile::copy(path("private.zv"), leftover));
        DataFileLock otherProgram;
        if (atTheLock == "held") {
            QCOMPARE(otherProgram.acquire(path("private.zv")), DataFileLock::Result::Held);
            messages().answers.enqueue(Answer::Yes);
        }
        if (atTheLock == "link")
            QVERIFY(QFile::link(path("nowhere"), path(".private.zv.lock")));
        prompt().passwords << "secret";
        session().OpenStartupFile(path("private.zv"));
        QCOMPARE(session().fileName(), path("private.zv"));
        QCOMPARE(messages().texts().size(), told.size());
        for (qsizetype i = 0; i < told.size(); ++i)
            QVERIFY2(messages().texts().at(i).contains(told.at(i)), qPrintable(messages().texts().at(i)));
        QCOMPARE(QFile::exists(leftover), !cleared);
        QCOMPARE(QFileInfo(path(".private.zv.lock")).isSymLink(), atTheLock == "link");
    }

    void saveKeepsTheModeOfASharedFile()
    {
        openWithChange();
        const auto groupShared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
        QVERIFY(QFile::setPermissions(path("private.zv"), groupShared));
        QVERIFY(session().save());
        QCOMPARE(QFile::permissions(path("private.zv")) & 0x7077, QFile::Permissions(groupShared));
    }

    void saveOfADeletedFileTurnsIntoSaveAs()
    {
        openWithChange();
        QFile::remove(path("private.zv"));
        messages().fileNames.enqueue(path("elsewhere.zv"));
        prompt().passwords << "other";
        QVERIFY(session().save());
        QCOMPARE(messages().fileDialogTitles.size(), 1);
        QCOMPARE(session().fileName(), path("elsewhere.zv"));
    }

    // With backups on, Save keeps the previous file; a full disk then loses none of them.
    void saveKeepsBackupsAndAFullDiskLosesNothing()
    {
        settings().SetSetting(SettingKey::Backups, "1");
        openWithChange();
        const QByteArray previous = readFile(path("private.zv"));
        QVERIFY(session().save());
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
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
        QCOMPARE(before["~1_private.zv"], previous);
        {
            TestSupport::FileSizeLimit diskFull(64);
            QVERIFY(!session().save());
        }
        QCOMPARE(messages().headlines(), QStringList{"Can't save data file"});
        QVERIFY(session().Modified());
        QCOMPARE(dataFiles(), before);
    }

    void saveInAnOddBackupSlotNamesIt()
    {
        settings().SetSetting(SettingKey::Backups, "1");
        openWithChange();
        QVERIFY(QDir(path(".")).mkdir("~1_private.zv"));
        QVERIFY(!session().save());
        QCOMPARE(messages().texts().size(), 1);
        const QString text = messages().texts().first();
        QVERIFY2(text.contains(path("~1_private.zv")) && text.contains("Switch backups off"), qPrintable(text));
    }

    void saveAsNeverWritesOverAFileOpenElsewhere()
    {
        openWithChange();
        writeDataFile(path("shared.zv"), "secret");
        DataFileLock otherProgram;
        QCOMPARE(otherProgram.acquire(path("shared.zv")), DataFileLock::Result::Held);
        const QByteArray shared = readFile(path("shared.zv"));
        messages().fileNames.enqueue(path("shared.zv"));
        QVERIFY(!session().saveAs());
        QVERIFY(messages().headlines().last().endsWith(QStringLiteral("shared.zv")));
        QCOMPARE(readFile(path("shared.zv")), shared);
        QCOMPARE(session().fileName(), path("private.zv"));
    }

    // New protected files cost what was measured for this machine, once; a
    // failed measurement leaves the default cost and is tried again next time.
    void newProtectedFilesCostWhatWasMeasuredOnce()
    {
        QList<bool> measurable{false, true};
        session().setCalibration([&] {
            return !measurable.isEmpty() && measurable.takeFirst() ? std::optional(MeasuredCost) : std::nullopt;
        });
        for (const char* name : {"unmeasured.zvx", "measured.zvx", "remembered.zvx", "plain.zv"}) {
            session().newDocument();
            messages().fileNames.enqueue(path(name));
            prompt().passwords << "secret";
            QVERIFY(session().saveAs());
        }
        QVERIFY(measurable.isEmpty());
        QCOMPARE(DataFile::sealingOf(path("unmeasured.zvx")).cost, ProtectedContainer::DerivationCost());
        QCOMPARE(DataFile::sealingOf(path("measured.zvx")).cost, MeasuredCost);
        // The settings keep the passes measured, over the default memory.
        const ProtectedContainer::DerivationCost remembered{MeasuredCost.passes,
                                                            ProtectedContainer::DerivationCost().memoryKiB};
        QCOMPARE(DataFile::sealingOf(path("remembered.zvx")).cost, remembered);
        QCOMPARE(settings().newFileCost(), std::optional(remembered));
        QCOMPARE(m_harness->fileWork.descriptions.count("Measuring this computer's speed…"), 2);
    }

    // A protected file stays protected, at its own cost, through Save and Change password.
    void changePasswordKeepsFormatAndCost()
    {
        const ProtectedContainer::DerivationCost cheap{1, ProtectedContainer::DerivationCost::MinMemoryKiB};
        openWithChange("private.zvx", {DataFile::Format::Protected, cheap});
        QVERIFY(session().save());
        prompt().passwords << "other";
        session().changePassword();
        QCOMPARE(prompt().asked.last().path, path("private.zvx"));
        QCOMPARE(prompt().asked.last().format, DataFile::Format::Protected);
        QCOMPARE(DataFile::sealingOf(path("private.zvx")).format, DataFile::Format::Protected);
        QCOMPARE(DataFile::sealingOf(path("private.zvx")).cost, cheap);
        QCOMPARE(groupsIn(path("private.zvx"), "other"), (QStringList{"Home", "Added"}));
    }

    // The change writes pending changes, makes no backup of its own, and
    // offers to remove the backups that still open with the old password.
    void changePasswordWritesWithoutBackup_data()
    {
        QTest::addColumn<int>("earlierSaves");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("no backups yet") << 0 << Answer::Cancel;
        QTest::newRow("old backups removed") << 2 << Answer::Yes;
        QTest::newRow("old backups kept") << 2 << Answer::No;
    }

    void changePasswordWritesWithoutBackup()
    {
        QFETCH(int, earlierSaves);
        QFETCH(Answer, answer);
        settings().SetSetting(SettingKey::Backups, "1");
        openWithChange();
        for (int save = 0; save < earlierSaves; ++save)
            QVERIFY(session().save());
        const QStringList backups = Backups::existingBackups(path("private.zv"));
        QCOMPARE(backups.size(), earlierSaves);
        messages().answers.enqueue(answer);
        prompt().passwords << "renewed";
        session().changePassword();
        QCOMPARE(messages().texts().first(), QStringLiteral("Password changed"));
        QCOMPARE(messages().shown.size(), earlierSaves > 0 ? 2 : 1);
        const auto lastKind = earlierSaves > 0 ? MessageService::Kind::Confirm : MessageService::Kind::Information;
        QCOMPARE(messages().shown.last().kind, lastKind);
        QVERIFY(!session().Modified());
        QCOMPARE(Backups::existingBackups(path("private.zv")), answer == Answer::Yes ? QStringList{} : backups);
        QCOMPARE(groupsIn(path("private.zv"), "renewed"), (QStringList{"Home", "Added"}));
        QCOMPARE(groupsIn(path("private.zv"), "secret"), QStringList{"(does not open)"});
    }

    void cancelledPromptsNeverChangeThePassword()
    {
        openWithChange();
        prompt().passwords << "";
        session().changePassword();
        messages().fileNames.enqueue(path("copy.zv"));
        prompt().passwords << "";
        QVERIFY(!session().saveAs());
        QCOMPARE(session().password(), QStringLiteral("secret"));
        QVERIFY(session().save());
        QCOMPARE(groupsIn(path("private.zv"), "secret"), (QStringList{"Home", "Added"}));
    }

    // A failed automatic save falls through to the question.
    void closing_data()
    {
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("writesFail");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("shown");
        const QString question = "Do you want to save the changes?";
        const QString failure = "Can't save data file";
        QTest::newRow("automatic save") << true << false << Answer::Cancel << true << QStringList{};
        QTest::newRow("no") << false << false << Answer::No << true << QStringList{question};
        QTest::newRow("cancel") << false << false << Answer::Cancel << false << QStringList{question};
        QTest::newRow("yes") << false << false << Answer::Yes << true << QStringList{question};
        QTest::newRow("automatic save fails")
            << true << true << Answer::Yes << false << QStringList{failure, question, failure};
    }

    // Another program replaced the open file; saving asks first, also at exit.
    void fileChangedElsewhereIsNeverOverwrittenUnasked_data()
    {
        QTest::addColumn<bool>("atExit");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("inFile");
        const QStringList theirs{"Home", "Elsewhere"};
        QTest::newRow("merge") << false << 0 << true << QStringList{"Home", "Added", "Elsewhere"};
        QTest::newRow("save anyway") << false << 1 << true << QStringList{"Home", "Added"};
        QTest::newRow("save as") << false << 2 << true << theirs;
        QTest::newRow("cancel") << false << 3 << false << theirs;
        QTest::newRow("at exit, merge") << true << 0 << true << QStringList{"Home", "Added", "Elsewhere"};
        QTest::newRow("at exit, cancel") << true << 3 << false << theirs;
    }

    void fileChangedElsewhereIsNeverOverwrittenUnasked()
    {
        QFETCH(bool, atExit);
        QFETCH(int, choice);
        QFETCH(bool, saved);
        QFETCH(QStringList, inFile);
        settings().SetSetting(SettingKey::AutoSave, atExit ? "1" : "0");
        openWithChange();
        replaceElsewhere("secret");
        messages().choices.enqueue(choice);
        messages().fileNames.enqueue(path("copy.zv"));
        prompt().passwords << "copy";

        QCOMPARE(atExit ? session().mayClose() : session().save(), saved);
        QCOMPARE(groupsIn(path("private.zv"), "secret"), inFile);
        // Asked once, with the merge's summary after a merge.
        QCOMPARE(messages().shown.first().text.section(' ', 0, 3), "Another program has changed");
        QCOMPARE(messages().shown.size(), choice == 0 ? 2 : 1);
        if (choice == 2)
            QCOMPARE(groupsIn(path("copy.zv"), "copy"), (QStringList{"Home", "Added"}));
    }

    // Noticed by the watch: an unmodified document is read again, unsaved
    // changes are offered a merge at once.
    void aDocumentFollowsItsFile_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("read again") << "secret" << false << QStringList{"Home", "Elsewhere"};
        QTest::newRow("password changed elsewhere") << "other" << false << QStringList{"Home"};
        QTest::newRow("unsaved changes, merged") << "secret" << true << QStringList{"Home", "Added", "Elsewhere"};
    }

    void aDocumentFollowsItsFile()
    {
        QFETCH(QString, password);
        QFETCH(bool, modified);
        QFETCH(QStringList, groups);
        session().setDiskSettling(std::chrono::milliseconds(20));
        writeDataFile(path("private.zv"), "secret");
        prompt().passwords << "secret";
        session().OpenStartupFile(path("private.zv"));
        if (modified)
            addGroup("Added");
        QSignalSpy news(&session(), &DocumentSession::news);
        messages().choices.enqueue(0);
        replaceElsewhere(password);

        QTRY_VERIFY(news.size() + messages().shown.size() > 0);
        QCOMPARE(groupsIn(session().document()), groups);
        QCOMPARE(news.size(), !modified && password == "secret" ? 1 : 0);
        QCOMPARE(session().Modified(), modified);
    }

    void mergeOffersAConflictCopyFirst_data()
    {
        QTest::addColumn<QString>("copy");
        QTest::addColumn<bool>("offered");
        QTest::newRow("Syncthing") << "private.sync-conflict-20240502-101010-ABCDEFG.zv" << true;
        QTest::newRow("Dropbox, protected") << "private (conflicted copy 2024-05-02).zvx" << true;
        QTest::newRow("another file's copy") << "other.sync-conflict-20240502-101010-ABCDEFG.zv" << false;
        QTest::newRow("a backup") << "~1_private.zv" << false;
    }

    void mergeOffersAConflictCopyFirst()
    {
        QFETCH(QString, copy);
        QFETCH(bool, offered);
        replaceElsewhere("copy", copy,
                         {DataFile::formatNamed(copy), {1, ProtectedContainer::DerivationCost::MinMemoryKiB}});
        writeDataFile(path("private.zv"), "secret");
        prompt().passwords << "secret"
                           << "copy";
        QSignalSpy news(&session(), &DocumentSession::news);
        session().OpenStartupFile(path("private.zv"));
        QCOMPARE(news.size(), offered ? 1 : 0);
        messages().fileNames.enqueue(path(copy));

        session().mergeFile();
        QCOMPARE(messages().fileDialogStarts.last(), offered ? path(copy) : session().folder());
        QCOMPARE(groupsIn(session().document()), (QStringList{"Home", "Elsewhere"}));
        QVERIFY(session().Modified());
        // One step takes the whole merge back.
        session().history().undo();
        QCOMPARE(groupsIn(session().document()), QStringList{"Home"});
        QVERIFY(!session().Modified());
    }

    void closing()
    {
        QFETCH(bool, autoSave);
        QFETCH(bool, writesFail);
        QFETCH(Answer, answer);
        QFETCH(bool, closes);
        QFETCH(QStringList, shown);
        if (autoSave)
            settings().SetSetting(SettingKey::AutoSave, "1");
        openWithChange();
        // A folder in place of the file makes every write fail, for root too.
        if (writesFail)
            QVERIFY(QFile::remove(path("private.zv")) && QDir(path(".")).mkdir("private.zv"));
        messages().answers.enqueue(answer);
        QCOMPARE(session().mayClose(), closes);
        QCOMPARE(messages().headlines(), shown);
        const bool saved = !writesFail && (autoSave || answer == Answer::Yes);
        QCOMPARE(session().Modified(), !saved);
        if (!writesFail)
            QCOMPARE(groupsIn(path("private.zv"), "secret").size(), saved ? 2 : 1);
    }
};

QTEST_MAIN(TestDocumentSession)
#include "tst_documentsession.moc"
