#include "ProgramFixture.h"

#include "datafile/ui/FormPassword.h"
#include "document/ui/FormGroupSelect.h"
#include "document/ui/FormNewGroup.h"
#include "search/ui/FormSearch.h"
#include "tray/ui/SysTray.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

namespace {

using Answer = MessageService::Answer;

const QByteArray Sample = "<data><folder name=\"Home\" type=\"PRIVATE\"/></data>";
constexpr quint32 OneMinute = 60 * 1000;

} // namespace

class TestAutoLock : public ProgramTestCase {
    Q_OBJECT

private:
    TFormPassword& lockPrompt() { return m_fixture->program().lockPrompt(); }

    void startWithFile(const QByteArray& settings = "autoblocking=1\r\nblockingtime=1\r\n")
    {
        m_fixture->writeSettings(settings);
        m_fixture->writeDataFile(path("private.zv"), "secret", Sample);
        m_fixture->start(path("private.zv"), {"secret"});
        QCOMPARE(main().CurrentFileName(), path("private.zv"));
    }

private slots:
    void locksAfterTheIdleMinutesAndOpensOnlyWithThePassword()
    {
        startWithFile();
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool hiddenWhileLocked = false;
        QString fileLine;
        QString trayHintWhileLocked;
        WhenShown observe(lockPrompt(), [&] {
            hiddenWhileLocked = !main().isVisible() && main().Locked();
            fileLine = lockPrompt().findChild<QLabel*>("LabelFileName")->text();
            trayHintWhileLocked = main().SysTray().Hint();
        });
        PromptAnswerer answer(lockPrompt(), {"wrong", "secret"});
        main().checkIdleTime();
        QVERIFY(hiddenWhileLocked);
        QCOMPARE(lockPrompt().windowTitle(), QStringLiteral("Zantrove is locked"));
        QCOMPARE(fileLine, QStringLiteral("private.zv File"));
        QCOMPARE(trayHintWhileLocked, QStringLiteral("Zantrove 1.1 \u2014 private.zv (locked)"));
        QCOMPARE(main().SysTray().Hint(), QStringLiteral("Zantrove 1.1 \u2014 private.zv"));
        QCOMPARE(answer.answered, 2);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Incorrect password"});
        QVERIFY(main().isVisible());
        QVERIFY(!main().Locked());
    }

    // Escape and the close box leave the program locked. Exit, or the window
    // closed by the desktop's session, asks the close question, which saves
    // nowhere but in the file itself.
    void endingFromTheLockAsksTheCloseQuestion_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("no") << "Exit" << QList<Answer>{Answer::No} << "ends";
        QTest::newRow("yes") << "Exit" << QList<Answer>{Answer::Yes} << "ends saved";
        QTest::newRow("cancel") << "Exit" << QList<Answer>{Answer::Cancel} << "stays";
        QTest::newRow("save when exit") << "Exit, autosave" << QList<Answer>{} << "ends saved";
        QTest::newRow("file gone") << "Exit, file gone" << QList<Answer>{Answer::Yes} << "stays, told";
        QTest::newRow("closed, file gone") << "close, file gone" << QList<Answer>{Answer::Yes} << "stays, told";
    }

    void endingFromTheLockAsksTheCloseQuestion()
    {
        QFETCH(QString, how);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, outcome);
        startWithFile(QByteArray("autoblocking=1\r\nblockingtime=1\r\n")
                      + (how.contains("autosave") ? "autosave=1\r\n" : ""));
        main().SetModified(true);
        if (how.contains("gone"))
            QVERIFY(QFile::remove(path("private.zv")));
        m_fixture->messages.answers.append(answers);
        // Observe the request without ending this test process's event loops.
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        QSignalSpy end(&main(), &TFormMain::endRequested);
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool stayedUp = false;
        std::unique_ptr<PromptAnswerer> unlock;
        WhenShown escapeThenExit(lockPrompt(), [&] {
            QTest::keyClick(lockPrompt().findChild<QLineEdit*>("EditPassword"), Qt::Key_Escape);
            lockPrompt().close();
            stayedUp =
                lockPrompt().isVisible() && !lockPrompt().findChild<QPushButton*>("JvXPButtonCancel")->isVisible();
            if (how.startsWith("Exit"))
                lockPrompt().findChild<QPushButton*>("JvXPButtonExit")->click();
            else
                QVERIFY(!main().close());
            // Where the program stays, the prompt comes back.
            unlock = std::make_unique<PromptAnswerer>(lockPrompt(), QStringList{"secret"});
        });
        main().checkIdleTime();
        QVERIFY(stayedUp);
        QCOMPARE(end.count(), outcome.startsWith("ends") ? 1 : 0);
        QCOMPARE(m_fixture->messages.shown.size(), int(!how.contains("autosave")) + int(outcome.contains("told")));
        QVERIFY(m_fixture->messages.fileDialogTitles.isEmpty());
        QCOMPARE(main().Modified(), !outcome.contains("saved"));
    }

    // While locked the tray menu offers Unlock alone.
    void theTrayOffersUnlockWhileLocked()
    {
        startWithFile("autoblocking=1\r\nblockingtime=1\r\nsystray=1\r\n");
        const QList<QAction*> items = main().PopupMenuTray().actions();
        m_fixture->idle.idleMilliseconds = OneMinute;
        QList<bool> shownWhileLocked;
        WhenShown look(lockPrompt(), [&] {
            for (const QAction* item : items)
                shownWhileLocked << item->isVisible();
        });
        PromptAnswerer answer(lockPrompt(), {"secret"});
        main().checkIdleTime();
        QCOMPARE(shownWhileLocked, (QList<bool>{false, false, true, false}));
        QVERIFY(items.at(0)->isVisible() && !items.at(2)->isVisible());
    }

    // Every window hides at the lock and comes back as it was stacked, the
    // innermost on top; each dialog then goes on to its own result.
    void nestedDialogsComeBackInTheirOrderAndFinish()
    {
        startWithFile();
        TFormNewGroup& newGroup = m_fixture->program().newGroupWindow();
        TFormGroupSelect& groupSelect = m_fixture->program().groupSelectWindow();
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool allHidden = false;
        QWidget* topAfterUnlock = nullptr;
        WhenShown nameThenChoose(newGroup, [&] {
            QTest::keyClicks(newGroup.findChild<QLineEdit*>("EditName"), "Garden");
            WhenShown chooseThenLock(groupSelect, [&] {
                auto* tree = groupSelect.findChild<QTreeWidget*>("TreeViewGroups");
                tree->setCurrentItem(tree->findItems("Home", Qt::MatchRecursive).value(0));
                WhenShown check(lockPrompt(), [&] {
                    allHidden = !main().isVisible() && !newGroup.isVisible() && !groupSelect.isVisible();
                });
                PromptAnswerer answer(lockPrompt(), {"secret"});
                main().checkIdleTime();
                topAfterUnlock = QApplication::activeModalWidget();
                groupSelect.findChild<QPushButton*>("JvXPButtonOk")->click();
            });
            newGroup.findChild<QPushButton*>("JvXPButtonSelectGroup")->click();
            newGroup.findChild<QPushButton*>("JvXPButtonOk")->click();
        });
        main().ActionNewGroupExecute();
        QVERIFY(allHidden);
        QCOMPARE(topAfterUnlock, &groupSelect);
        const pugi::xml_node home = main().XMLDocumentData().root().first_child();
        QCOMPARE(home.last_child().attribute("name").value(), std::string("Garden"));
    }

    void theSearchWindowHidesAtTheLockAndSearchesAfter()
    {
        startWithFile();
        TFormSearch& search = m_fixture->program().searchWindow();
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool hidden = false;
        WhenShown typeThenLock(search, [&] {
            QTest::keyClicks(search.findChild<QLineEdit*>("EditKeyword"), "Home");
            WhenShown check(lockPrompt(), [&] { hidden = !search.isVisible(); });
            PromptAnswerer answer(lockPrompt(), {"secret"});
            main().checkIdleTime();
            search.findChild<QPushButton*>("JvXPButtonSearch")->click();
        });
        main().ActionFindExecute();
        QVERIFY(hidden);
        QCOMPARE(main().TreeView().currentIndex().data().toString(), QStringLiteral("Home"));
    }

    void aPasswordPromptInterruptedByTheLockKeepsItsInput()
    {
        startWithFile();
        m_fixture->writeDataFile(path("other.zv"), "second", Sample);
        TFormPassword& prompt = m_fixture->program().passwordWindow();
        m_fixture->messages.fileNames.enqueue(path("other.zv"));
        m_fixture->idle.idleMilliseconds = OneMinute;
        WhenShown typeThenLock(prompt, [&] {
            QTest::keyClicks(prompt.findChild<QLineEdit*>("EditPassword"), "sec");
            PromptAnswerer answer(lockPrompt(), {"secret"});
            main().checkIdleTime();
            m_fixture->idle.idleMilliseconds = 0;
            QTest::keyClicks(prompt.findChild<QLineEdit*>("EditPassword"), "ond");
            QTest::mouseClick(prompt.findChild<QPushButton*>("JvXPButtonOk"), Qt::LeftButton);
        });
        main().Open1Click();
        QCOMPARE(main().CurrentFileName(), path("other.zv"));
        QCOMPARE(main().CurrentPassword(), QStringLiteral("second"));
    }

    // New leaves no password behind, and with none there is nothing to lock.
    void newForgetsThePasswordAndNeverLocks()
    {
        startWithFile();
        main().New1Click();
        QVERIFY(main().CurrentPassword().isEmpty());
        QVERIFY(m_fixture->program().passwordWindow().password().isEmpty());
        m_fixture->idle.idleMilliseconds = 100 * OneMinute;
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        PromptAnswerer cancel(lockPrompt(), {""});
        main().checkIdleTime();
        QCOMPARE(cancel.answered, 0);
    }

    // Each occasion reaches the lock: the desktop's, leaving the window for
    // the tray, and "Lock now" from wherever it is offered.
    void locksOnEachOccasion_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("occasion");
        QTest::newRow("screen locked") << QByteArray() << "screen locked";
        QTest::newRow("hidden to the tray")
            << QByteArray("systray=1\r\nlockwhenminimised=1\r\n") << "hidden to the tray";
        QTest::newRow("Ctrl+L") << QByteArray() << "Ctrl+L";
        QTest::newRow("File menu") << QByteArray() << "File menu";
        QTest::newRow("tray menu") << QByteArray("systray=1\r\n") << "tray menu";
    }

    void locksOnEachOccasion()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, occasion);
        startWithFile(settings);
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        // A second prompt would be cancelled, and counted.
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        PromptAnswerer answer(lockPrompt(), {"secret", ""});
        const auto triggerLockNowIn = [this](const QMenu& menu) {
            QAction* lockNow = main().actions().lockNow;
            QVERIFY(menu.actions().contains(lockNow));
            lockNow->trigger();
        };
        if (occasion == "screen locked")
            emit m_fixture->sessionEvents.screenLocked();
        else if (occasion == "hidden to the tray")
            main().ToggleMainWindow();
        else if (occasion == "Ctrl+L") {
            // A shortcut reaches only the active window's focus.
            main().activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &main());
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main(), Qt::Key_L,
                            Qt::ControlModifier);
        } else if (occasion == "File menu")
            triggerLockNowIn(*main().menuBar()->actions().constFirst()->menu());
        else
            triggerLockNowIn(main().PopupMenuTray());
        QTRY_COMPARE(answer.answered, 1);
        QTest::qWait(50);
        QCOMPARE(answer.answered, 1);
        QVERIFY(main().isVisible() && !main().Locked());
    }
};

QTEST_MAIN(TestAutoLock)
#include "tst_autolock.moc"
