#include "ProgramFixture.h"

#include "datafile/PasswordWindow.h"
#include "document/UnitNewGroup.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

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
        WhenShown observe(lockPrompt(), [&] {
            hiddenWhileLocked = !main().isVisible() && main().Locked();
            fileLine = lockPrompt().findChild<QLabel*>("LabelFileName")->text();
        });
        PromptAnswerer answer(lockPrompt(), {"wrong", "secret"});
        main().TimerTimer();
        QVERIFY(hiddenWhileLocked);
        QCOMPARE(fileLine, QStringLiteral("private.zv File"));
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
        main().TimerTimer();
        QVERIFY(main().isVisible());
        QVERIFY(!lockPrompt().isVisible());
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

    void aVanishedFileStillUnlocksWithItsPassword()
    {
        startWithFile();
        QFile::remove(path("private.zv"));
        QVERIFY(!main().CheckFilePassword("wrong"));
        QVERIFY(main().CheckFilePassword("secret"));
    }

    // Another file put in its place must not lock its owner out and cost the
    // unsaved work; the password of that other file opens it as before.
    void aReplacedFileStillUnlocksWithItsPassword()
    {
        startWithFile();
        m_fixture->writeDataFile(path("private.zv"), "other", Sample);
        QVERIFY(!main().CheckFilePassword("wrong"));
        QVERIFY(main().CheckFilePassword("secret"));
        QVERIFY(main().CheckFilePassword("other"));
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
};

QTEST_MAIN(TestAutoLock)
#include "tst_autolock.moc"
