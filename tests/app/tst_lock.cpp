#include "ProgramFixture.h"

#include "app/ui/AutoLock.h"
#include "app/ui/BackgroundWork.h"
#include "datafile/ui/FormPassword.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {

// A lock over a hand-made main window, every service doubled, set to lock
// after a minute of idling.
struct LockRig {
    LockRig()
    {
        settings.SetSetting(SettingKey::AutoBlocking, QStringLiteral("1"));
        settings.SetSetting(SettingKey::BlockingTime, QStringLiteral("1"));
    }
    // Locks without going through the event loop; returns once unlocked or cancelled.
    void lockAtOnce()
    {
        idle.idleMilliseconds = 60'000;
        lock.checkIdleTime();
    }

    SettingsStore settings;
    CaptionTable captions;
    ScriptedMessageService messages;
    ManualIdleTimeSource idle;
    SessionEvents sessionEvents;
    ManualCapsLockState capsLock;
    QString fileName = QStringLiteral("/nowhere/private.zv");
    DataFile::Format format = DataFile::Format::Plain;
    QString password = QStringLiteral("secret");
    QWidget mainWindow;
    QWidgetList windows{&mainWindow};
    TFormPassword prompt{captions, messages, capsLock, &mainWindow};
    AutoLock lock{
        {settings, captions, messages, idle, sessionEvents},
        {[this] { return fileName; }, [this] { return format; }, [this] { return password; }, [] { return false; }},
        [this] { return windows; },
        mainWindow,
        prompt};
};

// The watched windows in the order they were shown.
class ShowOrder : public QObject {
public:
    explicit ShowOrder(const QWidgetList& windows)
    {
        for (QWidget* window : windows)
            window->installEventFilter(this);
    }
    QList<QObject*> shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            shown << watched;
        return false;
    }
};

} // namespace

class TestLock : public QObject {
    Q_OBJECT

private slots:
    void locksOnceTheIdleMinutesHavePassed_data()
    {
        QTest::addColumn<QString>("autoLock");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("password");
        QTest::addColumn<quint32>("idleMs");
        QTest::addColumn<bool>("locks");
        QTest::newRow("a moment short of one minute") << "1"
                                                      << "1"
                                                      << "secret" << 59'999u << false;
        QTest::newRow("one minute") << "1"
                                    << "1"
                                    << "secret" << 60'000u << true;
        QTest::newRow("a second short of five") << "1"
                                                << "5"
                                                << "secret" << 299'000u << false;
        QTest::newRow("five minutes") << "1"
                                      << "5"
                                      << "secret" << 300'000u << true;
        QTest::newRow("not a number") << "1"
                                      << "soon"
                                      << "secret" << 6'000'000u << false;
        QTest::newRow("zero minutes") << "1"
                                      << "0"
                                      << "secret" << 6'000'000u << false;
        QTest::newRow("below zero") << "1"
                                    << "-3"
                                    << "secret" << 6'000'000u << false;
        QTest::newRow("switched off") << "0"
                                      << "1"
                                      << "secret" << 6'000'000u << false;
        QTest::newRow("never saved") << "1"
                                     << "1"
                                     << "" << 6'000'000u << false;
    }

    void locksOnceTheIdleMinutesHavePassed()
    {
        QFETCH(QString, autoLock);
        QFETCH(QString, minutes);
        QFETCH(QString, password);
        QFETCH(quint32, idleMs);
        QFETCH(bool, locks);
        LockRig rig;
        rig.settings.SetSetting(SettingKey::AutoBlocking, autoLock);
        rig.settings.SetSetting(SettingKey::BlockingTime, minutes);
        rig.password = password;
        rig.idle.idleMilliseconds = idleMs;
        rig.mainWindow.show();
        QSignalSpy locked(&rig.lock, &AutoLock::lockedChanged);
        PromptAnswerer answer(rig.prompt, {"secret"});
        rig.lock.checkIdleTime();
        QCOMPARE(answer.answered, locks ? 1 : 0);
        QCOMPARE(locked.count(), locks ? 2 : 0);
        QVERIFY(rig.mainWindow.isVisible() && !rig.lock.Locked());
    }

    // Each occasion locks as its setting says: the desktop's two unless
    // switched off, leaving the window only when switched on, the command
    // always. Always from the event loop, and one prompt where two come together.
    void locksOnEachOccasionItsSettingAllows_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QStringList>("occasions");
        QTest::addColumn<bool>("locks");
        QTest::newRow("screen locked") << "" << QStringList{"screen locked"} << true;
        QTest::newRow("screen locked, off") << "lockonscreenlock=0" << QStringList{"screen locked"} << false;
        QTest::newRow("sleeping") << "" << QStringList{"sleeping"} << true;
        QTest::newRow("sleeping, off") << "lockbeforesleep=0" << QStringList{"sleeping"} << false;
        QTest::newRow("screen locked, then sleeping") << "" << QStringList{"screen locked", "sleeping"} << true;
        QTest::newRow("minimised") << "" << QStringList{"minimised"} << false;
        QTest::newRow("minimised, on") << "lockwhenminimised=1" << QStringList{"minimised"} << true;
        QTest::newRow("hidden to the tray") << "" << QStringList{"hidden"} << false;
        QTest::newRow("hidden to the tray, on") << "lockwhenminimised=1" << QStringList{"hidden"} << true;
        QTest::newRow("minimised to the tray, on")
            << "lockwhenminimised=1" << QStringList{"minimised", "hidden"} << true;
        QTest::newRow("Lock now, every occasion off") << "lockonscreenlock=0" << QStringList{"Lock now"} << true;
    }

    void locksOnEachOccasionItsSettingAllows()
    {
        QFETCH(QString, setting);
        QFETCH(QStringList, occasions);
        QFETCH(bool, locks);
        LockRig rig;
        if (!setting.isEmpty())
            rig.settings.SetSetting(setting.section('=', 0, 0), setting.section('=', 1));
        rig.mainWindow.show();
        // A second prompt would be cancelled, and counted.
        PromptAnswerer answer(rig.prompt, {"secret", ""});
        for (const QString& occasion : occasions) {
            if (occasion == "screen locked")
                emit rig.sessionEvents.screenLocked();
            else if (occasion == "sleeping")
                emit rig.sessionEvents.sleeping();
            else if (occasion == "minimised")
                rig.mainWindow.showMinimized();
            else if (occasion == "hidden")
                rig.lock.mainWindowHidden();
            else
                rig.lock.lockNowCommand();
        }
        QVERIFY(!rig.lock.Locked());
        if (locks)
            QTRY_COMPARE(answer.answered, 1);
        QTest::qWait(50);
        QCOMPARE(answer.answered, locks ? 1 : 0);
        QVERIFY(rig.messages.shown.isEmpty());
    }

    // Without a password there is nothing to lock, and the user is told; while
    // locked, "Lock now" has nothing more to do or say.
    void lockNowSaysWhenThereIsNothingToLock()
    {
        LockRig rig;
        rig.password.clear();
        rig.lock.lockNowCommand();
        const QStringList nothingToLock{"Only a file that has been opened or saved can be locked"};
        QCOMPARE(rig.messages.texts(), nothingToLock);
        rig.password = QStringLiteral("secret");
        rig.mainWindow.show();
        connect(&rig.lock, &AutoLock::lockedChanged, this, [&](bool locked) {
            if (locked)
                rig.lock.lockNowCommand();
        });
        PromptAnswerer answer(rig.prompt, {"secret", ""});
        rig.lockAtOnce();
        QTest::qWait(50);
        QCOMPARE(answer.answered, 1);
        QCOMPARE(rig.messages.texts(), nothingToLock);
    }

    // Hidden topmost first, the modal chain before the rest; back bottom up
    // after the main window, also from the tray, the innermost dialog on top.
    // Splash, windows never shown and windows gone meanwhile are left alone.
    void windowsComeBackInTheirStackingOrder_data()
    {
        QTest::addColumn<bool>("mainInTray");
        QTest::newRow("main window shown") << false;
        QTest::newRow("main window in the tray") << true;
    }

    void windowsComeBackInTheirStackingOrder()
    {
        QFETCH(bool, mainInTray);
        LockRig rig;
        QDialog outer(&rig.mainWindow);
        QDialog inner(&outer);
        QWidget tool;
        QWidget splash(nullptr, Qt::SplashScreen);
        // As Qt docks a tray icon into an X11 notification area: hidden, it
        // would not dock again.
        QWidget dockedIcon(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
        QWidget neverShown;
        auto* gone = new QWidget;
        auto* box = new QLineEdit(QStringLiteral("Garden"), &tool);
        const QWidgetList named{&rig.mainWindow, &outer, &inner, &tool, &splash, &dockedIcon};
        rig.mainWindow.setVisible(!mainInTray);
        for (QDialog* dialog : {&outer, &inner}) {
            dialog->setModal(true);
            dialog->show();
        }
        for (QWidget* window : {&tool, &splash, &dockedIcon, gone})
            window->show();
        rig.windows = {&outer, &inner, &tool, &splash, &dockedIcon, gone, &neverShown, &rig.mainWindow};
        QWidgetList shownWhileLocked;
        bool selectedWhileLocked = true;
        connect(&rig.lock, &AutoLock::lockedChanged, this, [&](bool locked) {
            if (!locked)
                return;
            for (QWidget* window : named)
                if (window->isVisible())
                    shownWhileLocked << window;
            selectedWhileLocked = box->hasSelectedText();
            delete gone;
        });
        ShowOrder order(named);
        PromptAnswerer answer(rig.prompt, {"secret"});
        // Locked at once, before anything else may touch the selection.
        box->selectAll();
        rig.lockAtOnce();
        QCOMPARE(answer.answered, 1);
        QCOMPARE(shownWhileLocked, (QWidgetList{&splash, &dockedIcon}));
        QVERIFY(!selectedWhileLocked);
        QCOMPARE(order.shown, (QList<QObject*>{&rig.mainWindow, &tool, &outer, &inner}));
        QCOMPARE(QApplication::activeModalWidget(), &inner);
        QVERIFY(!neverShown.isVisible());
    }

    // Whoever can write the file's folder could put a file of their own in
    // its place; only the document's own password unlocks, in its format,
    // and the prompt keeps no copy of it.
    void unlocksOnlyWithTheDocumentsOwnPassword_data()
    {
        const QString longPassword =
            QString("Grüße, a password longer than sixteen").normalized(QString::NormalizationForm_C);
        QTest::addColumn<bool>("protectedFile");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("fileNowUnder");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("fileType");
        QTest::newRow("file vanished") << false << "secret"
                                       << "" << QStringList{"other", "secret"} << "Zantrove data file";
        QTest::newRow("file replaced") << false << "secret"
                                       << "other" << QStringList{"other", "secret"} << "Zantrove data file";
        QTest::newRow("protected, typed in another Unicode form")
            << true << longPassword << ""
            << QStringList{longPassword.left(16), longPassword.normalized(QString::NormalizationForm_D)}
            << "Zantrove protected file";
    }

    void unlocksOnlyWithTheDocumentsOwnPassword()
    {
        QFETCH(bool, protectedFile);
        QFETCH(QString, password);
        QFETCH(QString, fileNowUnder);
        QFETCH(QStringList, typed);
        QFETCH(QString, fileType);
        QTemporaryDir folder;
        LockRig rig;
        rig.fileName = folder.filePath("private.zv");
        rig.format = protectedFile ? DataFile::Format::Protected : DataFile::Format::Plain;
        rig.password = password;
        DataDocument replacement;
        QVERIFY(replacement.loadText("<data/>"));
        if (!fileNowUnder.isEmpty())
            QCOMPARE(DataFile::write(rig.fileName, fileNowUnder, replacement), DataFile::Status::Ok);
        rig.mainWindow.show();
        // A prompt still up after them is cancelled.
        PromptAnswerer answer(rig.prompt, typed + QStringList{""});
        rig.lockAtOnce();
        QCOMPARE(answer.answered, 2);
        QCOMPARE(rig.messages.texts(), QStringList{"Incorrect password"});
        QCOMPARE(rig.prompt.findChild<QLabel*>("LabelFileType")->text(), fileType);
        QVERIFY(rig.prompt.password().isEmpty());
        QVERIFY(rig.prompt.findChild<QLineEdit*>("EditPassword")->text().isEmpty());
        QVERIFY(rig.mainWindow.isVisible());
    }

    // The lock is due while a file is being saved: the windows hide at
    // once, the save goes on to its end, and then the password is asked.
    void aLockDuringSlowFileWorkHidesAtOnceAndAsksAfter_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::newRow("screen locked") << false;
        QTest::newRow("idle") << true;
    }

    void aLockDuringSlowFileWorkHidesAtOnceAndAsksAfter()
    {
        QFETCH(bool, idle);
        LockRig rig;
        rig.mainWindow.show();
        PromptAnswerer answer(rig.prompt, {"secret"});
        bool hiddenNotAsked = false;
        std::atomic<bool> released = false;
        QTimer::singleShot(0, [&] { idle ? rig.lockAtOnce() : emit rig.sessionEvents.screenLocked(); });
        QTimer::singleShot(BackgroundWork::ProgressDelayMs + 100, [&] {
            hiddenNotAsked = !rig.mainWindow.isVisible() && !rig.prompt.isVisible() && answer.answered == 0;
            released = true;
        });
        BackgroundWork(&rig.mainWindow).run(QStringLiteral("Saving…"), [&] {
            while (!released)
                QThread::msleep(5);
            return true;
        });
        QVERIFY(hiddenNotAsked);
        QTRY_COMPARE(answer.answered, 1);
        QVERIFY(!rig.lock.Locked());
    }
};

QTEST_MAIN(TestLock)
#include "tst_lock.moc"
