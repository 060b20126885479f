#include "ProgramFixture.h"
#include "app/ui/SecretClipboard.h"
#include "editor/ui/RecordEditor.h"
#include "tray/ui/SysTray.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {

const QByteArray Sample =
    R"(<data><record type="DEFAULT"><label link="Name"/><field name="Name" basic_type="TEXT">Bank</field>)"
    R"(<field name="Login" basic_type="TEXT">me</field><field name="Password" basic_type="TEXT">pw1</field>)"
    R"(<field name="PIN" basic_type="NUMBER">1234</field><field name="E-Mail" basic_type="E-MAIL">a@b.c</field></record>)"
    R"(<record type="NOTE"><label link="Notes"/><field name="Notes" basic_type="LONG TEXT">x</field></record></data>)";
constexpr quint32 OneMinute = 60 * 1000;

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

// Copying from the tree and the record editor, and the clipboard's countdown,
// in the whole program.
class TestSecretCopy : public ProgramTestCase {
    Q_OBJECT

private:
    QString status() { return main().statusBar()->currentMessage(); }

    void startAndSelect(int record, const QByteArray& settings = {})
    {
        m_fixture->writeSettings(settings);
        m_fixture->writeDataFile(path("private.zv"), "secret", Sample);
        m_fixture->start(path("private.zv"), {"secret"});
        QModelIndex node = main().treeModel().firstNode();
        for (int i = 0; i < record; ++i)
            node = main().treeModel().nextNode(node);
        main().TreeView().setCurrentIndex(node);
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        main().TreeView().setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

private slots:
    void treeKeysCopyTheRecordsFields_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("renaming"); // the keys pressed in the caption editor
        QTest::newRow("password") << 0 << Qt::Key_C << "pw1"
                                  << "Clipboard clears in 20 s" << false;
        QTest::newRow("login") << 0 << Qt::Key_B << "me"
                               << "Clipboard clears in 20 s" << false;
        QTest::newRow("no password") << 1 << Qt::Key_C << "before"
                                     << "This record has no password field" << false;
        QTest::newRow("no login") << 1 << Qt::Key_B << "before"
                                  << "This record has no login field" << false;
        QTest::newRow("password while renaming") << 0 << Qt::Key_C << "pw1"
                                                 << "Clipboard clears in 20 s" << true;
    }

    void treeKeysCopyTheRecordsFields()
    {
        QFETCH(int, record);
        QFETCH(Qt::Key, key);
        QFETCH(bool, renaming);
        startAndSelect(record);
        QWidget* target = &main().TreeView();
        if (renaming) {
            main().actions().rename->trigger();
            QTRY_VERIFY((target = main().TreeView().viewport()->findChild<QLineEdit*>()));
            QTRY_VERIFY(target->hasFocus());
        }
        QTest::keyClick(target, key, Qt::ControlModifier);
        QTEST(clipboardText(), "clipboard");
        QTEST(status(), "status");
        const bool copied = clipboardText() != "before";
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"),
                 copied ? QByteArray("secret") : QByteArray());
    }

    void countdownClearsOnlyItsOwnCopy_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("copiedSince"); // by the user, elsewhere
        QTest::addColumn<QString>("left");
        QTest::newRow("cleared") << QByteArray("clipboardseconds=1\r\n") << ""
                                 << "";
        QTest::newRow("user's copy stays") << QByteArray("clipboardseconds=1\r\n") << "mine"
                                           << "mine";
        QTest::newRow("never") << QByteArray("clipboardseconds=0\r\n") << ""
                               << "pw1";
    }

    void countdownClearsOnlyItsOwnCopy()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, copiedSince);
        QFETCH(QString, left);
        startAndSelect(0, settings);
        main().findChild<SecretClipboard*>()->setSecondLength(std::chrono::milliseconds(10));
        QTest::keyClick(&main().TreeView(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("pw1"));
        QCOMPARE(status(), settings.endsWith("=1\r\n") ? QStringLiteral("Clipboard clears in 1 s") : QString());
        // Seen in the notification area too, where a hidden window's status bar is not.
        QCOMPARE(main().SysTray().Hint().contains(QStringLiteral("Clipboard clears")), !status().isEmpty());
        if (!copiedSince.isEmpty())
            QGuiApplication::clipboard()->setText(copiedSince);
        // The countdown is over once its text is gone; nothing clears the
        // clipboard after that.
        QTRY_COMPARE(status(), QString());
        QCOMPARE(clipboardText(), left);
    }

    // In a field, Ctrl+C copies the selection as in any box, unmarked.
    void ctrlCInAFieldCopiesTheSelection()
    {
        startAndSelect(0);
        auto* name = qobject_cast<QLineEdit*>(main().recordEditor().controlList().at(1));
        name->setFocus();
        name->selectAll();
        QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("Bank"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat("x-kde-passwordManagerHint"));
        QCOMPARE(status(), QString());
    }

    // The editor's generate button fills the field from the generator window.
    void generatedPasswordReplacesTheField()
    {
        startAndSelect(0);
        QTimer::singleShot(0, [] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QApplication::activeModalWidget()->findChild<QPushButton*>("JvXPButtonOk")->click();
        });
        main().recordEditor().findChild<QToolButton*>("ButtonGenerateField")->click();
        auto* password = qobject_cast<QLineEdit*>(main().recordEditor().controlList().at(5));
        QCOMPARE(password->text().size(), 20);
        QVERIFY(main().Modified());
    }

    void theLockHidesTheShownSecret()
    {
        startAndSelect(0, "autoblocking=1\r\nblockingtime=1\r\n");
        m_fixture->idle.idleMilliseconds = OneMinute;
        main().recordEditor().findChild<QToolButton*>("ButtonRevealField")->click();
        auto* password = qobject_cast<QLineEdit*>(main().recordEditor().controlList().at(5));
        QCOMPARE(password->echoMode(), QLineEdit::Normal);
        PromptAnswerer answer(m_fixture->program().lockPrompt(), {"secret"});
        main().checkIdleTime();
        QCOMPARE(answer.answered, 1);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(TestSecretCopy)
#include "tst_secretcopy.moc"
