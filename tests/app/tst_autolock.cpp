#include "ProgramFixture.h"

#include "app/ui/AutoLock.h"
#include "app/ui/BackgroundWork.h"

#include "datafile/DataFile.h"
#include "datafile/ui/PasswordWindow.h"
#include "document/ui/UnitGroupSelect.h"
#include "document/ui/UnitNewGroup.h"
#include "search/ui/UnitSearch.h"
#include "tray/ui/SysTray.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>

namespace {

const QByteArray Sample = "<data><folder name=\"Home\" type=\"PRIVATE\"/></data>";
constexpr quint32 OneMinute = 60 * 1000;

} // namespace

class TestAutoLock : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFixture> m_fixture;

    TFormMain& main() { return m_fixture->main(); }
    TFormPassword& lockPrompt() { return m_fixture->program().lockPrompt(); }
    QString path(const QString& name) { return m_fixture->path(name); }

    void startWithFile(const QByteArray& settings = "autoblocking=1\r\nblockingtime=1\r\n")
    {
        m_fixture->writeSettings(settings);
        m_fixture->writeDataFile(path("private.zv"), "secret", Sample);
        m_fixture->start(path("private.zv"), {"secret"});
        QCOMPARE(main().CurrentFileName(), path("private.zv"));
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

    void locksAfterTheIdleMinutesAndOpensOnlyWithThePassword()
    {
        startWithFile();
        m_fixture->idle.idleMilliseconds = OneMinute - 1;
        main().TimerTimer();
        QVERIFY(main().isVisible());

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
        main().TimerTimer();
        QVERIFY(hiddenWhileLocked);
        QCOMPARE(fileLine, QStringLiteral("private.zv File"));
        QCOMPARE(trayHintWhileLocked, QStringLiteral("Zantrove 1.1 \u2014 private.zv (locked)"));
        QCOMPARE(main().SysTray().Hint(), QStringLiteral("Zantrove 1.1 \u2014 private.zv"));
        QCOMPARE(answer.answered, 2);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Incorrect password"});
        QVERIFY(main().isVisible());
        QVERIFY(!main().Locked());
    }

    void nothingLocksWithoutAFileOrAValidTime_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("withFile");
        QTest::newRow("never saved") << QByteArray("autoblocking=1\r\nblockingtime=1\r\n") << false;
        QTest::newRow("not a number") << QByteArray("autoblocking=1\r\nblockingtime=soon\r\n") << true;
        QTest::newRow("zero minutes") << QByteArray("autoblocking=1\r\nblockingtime=0\r\n") << true;
        QTest::newRow("below zero") << QByteArray("autoblocking=1\r\nblockingtime=-3\r\n") << true;
        QTest::newRow("switched off") << QByteArray("autoblocking=0\r\nblockingtime=1\r\n") << true;
    }

    void nothingLocksWithoutAFileOrAValidTime()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, withFile);
        if (withFile) {
            startWithFile(settings);
        } else {
            m_fixture->writeSettings(settings);
            m_fixture->start();
        }
        m_fixture->idle.idleMilliseconds = 100 * OneMinute;
        // A prompt that shows all the same is cancelled, without ending this process.
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        PromptAnswerer cancel(lockPrompt(), {""});
        main().TimerTimer();
        QCOMPARE(cancel.answered, 0);
        QVERIFY(main().isVisible());
    }

    void cancellingEndsTheProgramWithoutAnyQuestion()
    {
        startWithFile();
        main().SetModified(true);
        // Observe the request without ending this test process's event loops.
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        QSignalSpy end(&main(), &TFormMain::endRequested);
        m_fixture->idle.idleMilliseconds = OneMinute;
        PromptAnswerer cancel(lockPrompt(), {""});
        main().TimerTimer();
        QCOMPARE(end.count(), 1);
        QVERIFY(m_fixture->messages.shown.isEmpty());
        QVERIFY(!main().isVisible());
    }

    void theOpenDialogIsHiddenAndComesBackAsItWas()
    {
        startWithFile();
        TFormNewGroup& newGroup = m_fixture->program().newGroupWindow();
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool concealed = false;
        QString textAfterUnlock;
        WhenShown typeThenLock(newGroup, [&] {
            QTest::keyClicks(newGroup.findChild<QLineEdit*>("EditName"), "Garden");
            QCOMPARE(main().ActiveDialog(), &newGroup);
            WhenShown check(lockPrompt(), [&] { concealed = !newGroup.isVisible(); });
            PromptAnswerer answer(lockPrompt(), {"secret"});
            main().TimerTimer();
            textAfterUnlock = newGroup.findChild<QLineEdit*>("EditName")->text();
            QTest::mouseClick(newGroup.findChild<QPushButton*>("JvXPButtonOk"), Qt::LeftButton);
        });
        main().ActionNewGroupExecute();
        QVERIFY(concealed);
        QCOMPARE(textAfterUnlock, QStringLiteral("Garden"));
        QCOMPARE(main().XMLDocumentData().root().last_child().attribute("name").value(), std::string("Garden"));
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
                main().TimerTimer();
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
            main().TimerTimer();
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
            main().TimerTimer();
            m_fixture->idle.idleMilliseconds = 0;
            QTest::keyClicks(prompt.findChild<QLineEdit*>("EditPassword"), "ond");
            QTest::mouseClick(prompt.findChild<QPushButton*>("JvXPButtonOk"), Qt::LeftButton);
        });
        main().Open1Click();
        QCOMPARE(main().CurrentFileName(), path("other.zv"));
        QCOMPARE(main().CurrentPassword(), QStringLiteral("second"));
    }

    // Whoever can write the file's folder could put a file of their own in
    // its place; only the password of the document in memory unlocks, and
    // the prompt keeps no copy of it.
    void onlyTheDocumentsOwnPasswordUnlocks_data()
    {
        QTest::addColumn<QString>("fileNowUnder");
        QTest::newRow("file replaced") << QStringLiteral("other");
        QTest::newRow("file vanished") << QString();
    }

    void onlyTheDocumentsOwnPasswordUnlocks()
    {
        QFETCH(QString, fileNowUnder);
        startWithFile();
        if (fileNowUnder.isEmpty())
            QVERIFY(QFile::remove(path("private.zv")));
        else
            m_fixture->writeDataFile(path("private.zv"), fileNowUnder, Sample);
        m_fixture->idle.idleMilliseconds = OneMinute;
        PromptAnswerer answer(lockPrompt(), {"other", "secret"});
        main().TimerTimer();
        QCOMPARE(answer.answered, 2);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Incorrect password"});
        QVERIFY(!main().Locked());
        QVERIFY(lockPrompt().password().isEmpty());
        QVERIFY(lockPrompt().findChild<QLineEdit*>("EditPassword")->text().isEmpty());
    }

    // The same password typed in another Unicode form is the same password.
    void aProtectedFileUnlocksWithItsOwnLongPassword()
    {
        const QString password = QString("Grüße, a password longer than sixteen").normalized(QString::NormalizationForm_C);
        DataDocument document;
        QVERIFY(document.loadText(Sample));
        QCOMPARE(DataFile::create(path("private.zvx"), password, document, nullptr,
                                  {DataFile::Format::Protected, {1, ProtectedContainer::DerivationCost::MinMemoryKiB}}),
                 DataFile::Status::Ok);
        m_fixture->writeSettings("autoblocking=1\r\nblockingtime=1\r\n");
        m_fixture->start(path("private.zvx"), {password});
        QCOMPARE(main().CurrentFileName(), path("private.zvx"));
        m_fixture->idle.idleMilliseconds = OneMinute;
        PromptAnswerer answer(lockPrompt(), {password.left(16), password.normalized(QString::NormalizationForm_D)});
        main().TimerTimer();
        QCOMPARE(answer.answered, 2);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Incorrect password"});
        QVERIFY(!main().Locked());
        QCOMPARE(lockPrompt().findChild<QLabel*>("LabelFileType")->text(), QString("Zantrove protected file"));
    }

    // Selected text is served to any middle click while locked.
    void theLockLeavesNoTextSelected()
    {
        startWithFile();
        TFormNewGroup& newGroup = m_fixture->program().newGroupWindow();
        m_fixture->idle.idleMilliseconds = OneMinute;
        bool selectedWhileLocked = true;
        WhenShown selectThenLock(newGroup, [&] {
            auto* name = newGroup.findChild<QLineEdit*>("EditName");
            QTest::keyClicks(name, "Garden");
            name->selectAll();
            QVERIFY(name->hasSelectedText());
            WhenShown check(lockPrompt(), [&] { selectedWhileLocked = name->hasSelectedText(); });
            PromptAnswerer answer(lockPrompt(), {"secret"});
            main().TimerTimer();
            newGroup.reject();
        });
        main().ActionNewGroupExecute();
        QVERIFY(!selectedWhileLocked);
    }

    // New leaves no password behind, and with none there is nothing to lock.
    void newForgetsThePasswordAndNeverLocks()
    {
        startWithFile();
        main().New1Click();
        QVERIFY(main().CurrentPassword().isEmpty());
        m_fixture->idle.idleMilliseconds = 100 * OneMinute;
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        PromptAnswerer cancel(lockPrompt(), {""});
        main().TimerTimer();
        QCOMPARE(cancel.answered, 0);
    }

    void theWindowComesBackEvenFromTheTray()
    {
        startWithFile("autoblocking=1\r\nblockingtime=1\r\nsystray=1\r\n");
        main().ToggleMainWindow();
        QVERIFY(!main().isVisible());
        m_fixture->idle.idleMilliseconds = OneMinute;
        PromptAnswerer answer(lockPrompt(), {"secret"});
        main().TimerTimer();
        QVERIFY(main().isVisible());
    }

    // Besides idling, each occasion locks as its setting says: the desktop's
    // two unless switched off, leaving the window only when switched on, the
    // command always. One prompt each, also where two occasions come together.
    void locksOnEachOccasionItsSettingAllows_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("occasion");
        QTest::addColumn<bool>("locks");
        const QByteArray noDesktopLocks = "lockonscreenlock=0\r\nlockbeforesleep=0\r\n";
        QTest::newRow("screen locked") << QByteArray() << "screen locked" << true;
        QTest::newRow("screen locked, off") << QByteArray("lockonscreenlock=0\r\n") << "screen locked" << false;
        QTest::newRow("sleeping") << QByteArray() << "sleeping" << true;
        QTest::newRow("sleeping, off") << QByteArray("lockbeforesleep=0\r\n") << "sleeping" << false;
        QTest::newRow("minimised") << QByteArray() << "minimised" << false;
        QTest::newRow("minimised, on") << QByteArray("lockwhenminimised=1\r\n") << "minimised" << true;
        QTest::newRow("minimised to the tray, on") << QByteArray("systray=1\r\nlockwhenminimised=1\r\n") << "minimised"
                                                   << true;
        QTest::newRow("hidden to the tray") << QByteArray("systray=1\r\n") << "hidden to the tray" << false;
        QTest::newRow("hidden to the tray, on") << QByteArray("systray=1\r\nlockwhenminimised=1\r\n")
                                                << "hidden to the tray" << true;
        QTest::newRow("Ctrl+L") << noDesktopLocks << "Ctrl+L" << true;
        QTest::newRow("File menu") << noDesktopLocks << "File menu" << true;
        QTest::newRow("tray menu") << noDesktopLocks + "systray=1\r\n" << "tray menu" << true;
    }

    void locksOnEachOccasionItsSettingAllows()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, occasion);
        QFETCH(bool, locks);
        startWithFile(settings);
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        // A second prompt would be cancelled, and counted.
        QObject::disconnect(&main(), &TFormMain::endRequested, nullptr, nullptr);
        PromptAnswerer answer(lockPrompt(), {"secret", ""});
        const auto triggerLockNowIn = [this](const QMenu& menu) {
            QAction* lockNow = main().action("LockNow1");
            QVERIFY(menu.actions().contains(lockNow));
            lockNow->trigger();
        };
        if (occasion == "screen locked")
            emit m_fixture->sessionEvents.screenLocked();
        else if (occasion == "sleeping")
            emit m_fixture->sessionEvents.sleeping();
        else if (occasion == "minimised")
            main().showMinimized();
        else if (occasion == "hidden to the tray")
            main().ToggleMainWindow();
        else if (occasion == "Ctrl+L") {
            // A shortcut reaches only the active window's focus.
            main().activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &main());
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &main(), Qt::Key_L,
                            Qt::ControlModifier);
        }
        else if (occasion == "File menu")
            triggerLockNowIn(*main().menuBar()->actions().constFirst()->menu());
        else
            triggerLockNowIn(main().PopupMenuTray());
        if (locks)
            QTRY_COMPARE(answer.answered, 1);
        QTest::qWait(50);
        QCOMPARE(answer.answered, locks ? 1 : 0);
        if (locks)
            QVERIFY(main().isVisible() && !main().Locked());
    }

    // The screen locks while the file is being saved: the save ends first,
    // with nothing shown over it, and the lock follows.
    void aLockDuringSlowFileWorkFollowsIt()
    {
        startWithFile();
        PromptAnswerer answer(lockPrompt(), {"secret"});
        bool lockedDuringWork = false;
        connect(&main().autoLock(), &AutoLock::lockedChanged, this,
                [&](bool locked) { lockedDuringWork |= locked && BackgroundWork::running(); });
        std::atomic<bool> released = false;
        QTimer::singleShot(0, [&] { emit m_fixture->sessionEvents.screenLocked(); });
        QTimer::singleShot(BackgroundWork::ProgressDelayMs + 100, [&] { released = true; });
        BackgroundWork(&main()).run(QStringLiteral("Saving…"), [&] {
            while (!released)
                QThread::msleep(5);
            return true;
        });
        QVERIFY(!lockedDuringWork);
        QTRY_COMPARE(answer.answered, 1);
        QVERIFY(!main().Locked());
    }

    void lockNowWithoutAPasswordSaysWhy()
    {
        m_fixture->start();
        PromptAnswerer answer(lockPrompt(), {"secret"});
        main().action("LockNow1")->trigger();
        QTest::qWait(50);
        QCOMPARE(answer.answered, 0);
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Only a file that has been opened or saved can be locked"});
    }
};

QTEST_MAIN(TestAutoLock)
#include "tst_autolock.moc"
