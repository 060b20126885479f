#include "base/TextEncoding.h"
#include "config/CaptionTable.h"
#include "datafile/ui/FormPassword.h"

#include "support/ManualCapsLockState.h"
#include "support/ScriptedMessageService.h"
#include "support/ShownText.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// Types text as a user would: one key press and release per character, so
// characters outside Latin-1 arrive too.
void typeText(QWidget* box, const QString& text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

// A password window with its own captions and scripted message boxes, shown
// without blocking (open()), so each test drives it with key events.
class Prompt {
public:
    explicit Prompt(bool retype, DataFile::Format format = DataFile::Format::Plain)
    {
        window.SetPasswordMode(retype);
        window.setFile(QStringLiteral("/home/user/private.zv"), format);
        window.open();
    }

    QLineEdit* box(const char* name) const { return window.findChild<QLineEdit*>(QLatin1String(name)); }
    QLineEdit* passwordBox() const { return box("EditPassword"); }
    QLineEdit* retypeBox() const { return box("EditRetype"); }
    QPushButton* ok() const { return window.findChild<QPushButton*>(QStringLiteral("JvXPButtonOk")); }
    QLabel* label(const char* name) const { return window.findChild<QLabel*>(QLatin1String(name)); }
    void clickOk() const { QTest::mouseClick(ok(), Qt::LeftButton); }

    CaptionTable captions;
    ScriptedMessageService messages;
    ManualCapsLockState capsLock;
    TFormPassword window{captions, messages, capsLock};
};

} // namespace

class TestPasswordWindow : public QObject {
    Q_OBJECT

private slots:
    void concealedPromptResumesAsItWas();
    void captionsComeFromTheTable();
    void everyShowingStartsEmpty();
    void altWithTheLabelsLetterGoesToItsBox();
    void fileTypeIsShown();
    void boxesTakeSixteenMaskedCharacters_data();
    void boxesTakeSixteenMaskedCharacters();

    void newPasswordOkNeedsTwoEqualTexts_data();
    void newPasswordOkNeedsTwoEqualTexts();
    void keyReleaseInEitherBoxRechecks();
    void enterModeNeedsOneCharacter();
    void textWithoutKeyReleaseLeavesOk();
    void okRefusesInputChangedWithoutKeyRelease();

    void enterDoesNothingWhileOkDisabled();
    void escapeAndCloseBoxCancel();

    void lockedOkNeedsTheFilePassword();
    void unlockedOkChecksNothing();
    void newPasswordMustFitTheFileKey_data();
    void newPasswordMustFitTheFileKey();

    void capsLockWarningShowsInEveryMode_data();
    void capsLockWarningShowsInEveryMode();
    void capsLockWarningNeedsTheActiveWindow();

    void differingBoxesAreSaidToDiffer_data();
    void differingBoxesAreSaidToDiffer();
};

void TestPasswordWindow::captionsComeFromTheTable()
{
    Prompt prompt(true);
    QCOMPARE(prompt.window.windowTitle(), QStringLiteral("Zantrove 1.1"));
    QCOMPARE(prompt.label("LabelPassword")->text(), QStringLiteral("&Password:"));
    QCOMPARE(prompt.label("LabelRetype")->text(), QStringLiteral("&Retype:"));
    QCOMPARE(prompt.ok()->text(), QStringLiteral("Ok"));
    QCOMPARE(prompt.label("LabelCapsLock")->text(), QStringLiteral("Caps Lock is on"));

    prompt.captions.setLines(
        NameValueList({QStringLiteral("PasswordLabelPassword=Kennwort"), QStringLiteral("ButtonCancel=Abbrechen")}));
    prompt.window.ApplyPasswordCaptions();
    QCOMPARE(prompt.label("LabelPassword")->text(), QStringLiteral("&Kennwort:"));
    QCOMPARE(prompt.window.findChild<QPushButton*>(QStringLiteral("JvXPButtonCancel"))->text(),
             QStringLiteral("Abbrechen"));
    QCOMPARE(prompt.window.windowTitle(), QStringLiteral("Zantrove 1.1"));
}

void TestPasswordWindow::altWithTheLabelsLetterGoesToItsBox()
{
    Prompt prompt(true);
    QVERIFY(QTest::qWaitForWindowActive(&prompt.window));
    QTest::keyClick(&prompt.window, Qt::Key_R, Qt::AltModifier);
    QVERIFY(prompt.retypeBox()->hasFocus());
    QTest::keyClick(&prompt.window, Qt::Key_P, Qt::AltModifier);
    QVERIFY(prompt.passwordBox()->hasFocus());
}

void TestPasswordWindow::everyShowingStartsEmpty()
{
    Prompt prompt(true);
    typeText(prompt.passwordBox(), QStringLiteral("abc"));
    typeText(prompt.retypeBox(), QStringLiteral("abc"));
    QVERIFY(prompt.ok()->isEnabled());
    prompt.clickOk();
    QCOMPARE(prompt.window.result(), int(QDialog::Accepted));
    QCOMPARE(prompt.window.password(), QStringLiteral("abc"));
    // The boxes are wiped at once; the caller reads the copy kept for it.
    QVERIFY(prompt.passwordBox()->text().isEmpty());
    QVERIFY(prompt.retypeBox()->text().isEmpty());

    // A name that looks like markup reads as written, in the line and its tooltip.
    const QString longName = QStringLiteral("<font size=6 color=red>a rather long name</font> of a data file.zv File");
    prompt.window.setFileNameLine(longName);
    prompt.window.open();
    QVERIFY(prompt.passwordBox()->text().isEmpty());
    QVERIFY(prompt.retypeBox()->text().isEmpty());
    QVERIFY(!prompt.ok()->isEnabled());
    QVERIFY(prompt.window.password().isEmpty());
    QCOMPARE(prompt.window.focusWidget(), prompt.passwordBox());
    QCOMPARE(shownText(*prompt.label("LabelFileName")), longName);
    QCOMPARE(shownText(prompt.label("LabelFileName")->toolTip()), longName);
    QVERIFY(prompt.label("LabelFileName")->width() < prompt.label("LabelFileName")->sizeHint().width());
}

void TestPasswordWindow::fileTypeIsShown()
{
    Prompt prompt(false, DataFile::Format::Protected);
    QCOMPARE(prompt.label("LabelFileName")->text(), QStringLiteral("private.zv File"));
    QCOMPARE(prompt.label("LabelFileType")->text(), QStringLiteral("Zantrove protected file"));
    prompt.window.setFile(QStringLiteral("private.zv"), DataFile::Format::Plain);
    QCOMPARE(prompt.label("LabelFileType")->text(), QStringLiteral("Zantrove data file"));

    // The name stands where the language puts it; a language file without
    // the place names it after the word.
    for (const QString& line :
         {QStringLiteral("PasswordFileText=Datei %1"), QStringLiteral("PasswordFileText=Datei")}) {
        prompt.captions.setLines(NameValueList({line}));
        prompt.window.setFile(QStringLiteral("/home/user/private.zv"), DataFile::Format::Plain);
        QCOMPARE(prompt.label("LabelFileName")->text(), QStringLiteral("Datei private.zv"));
    }
}

void TestPasswordWindow::boxesTakeSixteenMaskedCharacters_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::newRow("password") << QStringLiteral("EditPassword");
    QTest::newRow("retype") << QStringLiteral("EditRetype");
}

void TestPasswordWindow::boxesTakeSixteenMaskedCharacters()
{
    QFETCH(QString, boxName);
    Prompt prompt(true);
    QLineEdit* box = prompt.box(qPrintable(boxName));
    typeText(box, QStringLiteral("0123456789abcdefg"));
    QCOMPARE(box->text(), QStringLiteral("0123456789abcdef"));
    QCOMPARE(box->displayText(), QString(16, QLatin1Char('*')));
}

void TestPasswordWindow::newPasswordOkNeedsTwoEqualTexts_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("retype");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("same") << "Secret"
                          << "Secret" << true;
    QTest::newRow("one letter's case differs") << "Secret"
                                               << "SecreT" << false;
    QTest::newRow("retype is a prefix") << "Secret"
                                        << "Secre" << false;
    QTest::newRow("retype is longer") << "Secret"
                                      << "Secrets" << false;
}

void TestPasswordWindow::newPasswordOkNeedsTwoEqualTexts()
{
    QFETCH(QString, password);
    QFETCH(QString, retype);
    QFETCH(bool, enabled);
    Prompt prompt(true);
    QVERIFY(prompt.retypeBox()->isVisible());
    typeText(prompt.passwordBox(), password);
    typeText(prompt.retypeBox(), retype);
    QCOMPARE(prompt.ok()->isEnabled(), enabled);
}

void TestPasswordWindow::keyReleaseInEitherBoxRechecks()
{
    Prompt prompt(true);
    typeText(prompt.retypeBox(), QStringLiteral("ab"));
    QVERIFY(!prompt.ok()->isEnabled());
    typeText(prompt.passwordBox(), QStringLiteral("ab"));
    QVERIFY(prompt.ok()->isEnabled());
    QTest::keyClick(prompt.passwordBox(), Qt::Key_Backspace);
    QVERIFY(!prompt.ok()->isEnabled());
    QTest::keyClick(prompt.retypeBox(), Qt::Key_Backspace);
    QVERIFY(prompt.ok()->isEnabled());
    QTest::keyClick(prompt.retypeBox(), Qt::Key_Backspace);
    QTest::keyClick(prompt.passwordBox(), Qt::Key_Backspace);
    QVERIFY2(!prompt.ok()->isEnabled(), "two empty boxes are equal but never acceptable");
}

void TestPasswordWindow::enterModeNeedsOneCharacter()
{
    Prompt prompt(false);
    QVERIFY(!prompt.retypeBox()->isVisible());
    QVERIFY(!prompt.label("LabelRetype")->isVisible());
    typeText(prompt.passwordBox(), QStringLiteral("x"));
    QVERIFY(prompt.ok()->isEnabled());
    typeText(prompt.retypeBox(), QStringLiteral("y"));
    QVERIFY2(prompt.ok()->isEnabled(), "the hidden retype box plays no part");
    QTest::keyClick(prompt.passwordBox(), Qt::Key_Backspace);
    QVERIFY(!prompt.ok()->isEnabled());
}

void TestPasswordWindow::textWithoutKeyReleaseLeavesOk()
{
    Prompt prompt(false);
    prompt.passwordBox()->setText(QStringLiteral("pasted"));
    QVERIFY(!prompt.ok()->isEnabled());
    QTest::keyClick(prompt.passwordBox(), Qt::Key_End);
    QVERIFY(prompt.ok()->isEnabled());
    prompt.passwordBox()->clear();
    QVERIFY(prompt.ok()->isEnabled());
}

// A mouse cut can empty a box or break the match after Ok was enabled; Ok
// then only brings its state up to date.
void TestPasswordWindow::okRefusesInputChangedWithoutKeyRelease()
{
    Prompt prompt(true);
    typeText(prompt.passwordBox(), QStringLiteral("abc"));
    typeText(prompt.retypeBox(), QStringLiteral("abc"));
    prompt.retypeBox()->setText(QStringLiteral("abd"));
    QVERIFY(prompt.ok()->isEnabled());
    prompt.clickOk();
    QVERIFY(prompt.window.isVisible());
    QVERIFY(!prompt.ok()->isEnabled());
    QVERIFY(prompt.messages.shown.isEmpty());
}

void TestPasswordWindow::enterDoesNothingWhileOkDisabled()
{
    Prompt prompt(true);
    typeText(prompt.passwordBox(), QStringLiteral("abc"));
    QTest::keyClick(prompt.passwordBox(), Qt::Key_Return);
    QVERIFY(prompt.window.isVisible());
    typeText(prompt.retypeBox(), QStringLiteral("abc"));
    QTest::keyClick(prompt.retypeBox(), Qt::Key_Return);
    QVERIFY(!prompt.window.isVisible());
    QCOMPARE(prompt.window.result(), int(QDialog::Accepted));
}

void TestPasswordWindow::escapeAndCloseBoxCancel()
{
    Prompt prompt(false);
    prompt.window.hide();
    bool stayedOpen = true;
    QTimer::singleShot(0, &prompt.window, [&] {
        typeText(prompt.passwordBox(), QStringLiteral("abc"));
        QTest::keyClick(prompt.passwordBox(), Qt::Key_Escape);
        stayedOpen = prompt.window.isVisible();
        if (stayedOpen)
            prompt.window.done(QDialog::Accepted);
    });
    QCOMPARE(prompt.window.exec(), int(QDialog::Rejected));
    QVERIFY(!stayedOpen);

    prompt.window.open();
    typeText(prompt.passwordBox(), QStringLiteral("abc"));
    prompt.window.close();
    QVERIFY(!prompt.window.isVisible());
    QCOMPARE(prompt.window.result(), int(QDialog::Rejected));
    // Nothing typed stays behind a cancelled prompt.
    QVERIFY(prompt.passwordBox()->text().isEmpty());
    QVERIFY(prompt.window.password().isEmpty());
}

void TestPasswordWindow::lockedOkNeedsTheFilePassword()
{
    Prompt prompt(false);
    QStringList checked;
    prompt.window.setLockGuard([] { return true; },
                               [&](const QString& password) {
                                   checked << password;
                                   return password == QLatin1String("right");
                               });
    typeText(prompt.passwordBox(), QStringLiteral("wrong"));
    prompt.clickOk();
    QVERIFY(prompt.window.isVisible());
    QCOMPARE(prompt.passwordBox()->text(), QStringLiteral("wrong"));
    QCOMPARE(prompt.messages.shown.size(), 1);
    QCOMPARE(prompt.messages.shown[0].kind, MessageService::Kind::Error);
    QCOMPARE(prompt.messages.shown[0].text, QStringLiteral("Incorrect password"));

    QCOMPARE(prompt.passwordBox()->selectedText(), QStringLiteral("wrong"));
    typeText(prompt.passwordBox(), QStringLiteral("right"));
    prompt.clickOk();
    QVERIFY(!prompt.window.isVisible());
    QCOMPARE(prompt.window.result(), int(QDialog::Accepted));
    QCOMPARE(checked, QStringList({QStringLiteral("wrong"), QStringLiteral("right")}));
    QCOMPARE(prompt.messages.shown.size(), 1);
    // Checked is enough: the lock keeps no copy of the password.
    QVERIFY(prompt.window.password().isEmpty());
}

void TestPasswordWindow::unlockedOkChecksNothing()
{
    Prompt prompt(false);
    int checks = 0;
    prompt.window.setLockGuard([] { return false; },
                               [&](const QString&) {
                                   ++checks;
                                   return false;
                               });
    typeText(prompt.passwordBox(), QStringLiteral("anything"));
    prompt.clickOk();
    QCOMPARE(prompt.window.result(), int(QDialog::Accepted));
    QCOMPARE(checks, 0);
    QVERIFY(prompt.messages.shown.isEmpty());
}

void TestPasswordWindow::newPasswordMustFitTheFileKey_data()
{
    QTest::addColumn<DataFile::Format>("format");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("refusal"); // how the message ends; empty: accepted
    const auto plain = DataFile::Format::Plain;
    const auto protectedFile = DataFile::Format::Protected;
    const QString notIn1252 = QStringLiteral("code page of older files (Windows-1252)");
    QTest::newRow("ascii") << plain << 1252 << QStringLiteral("plain") << QString();
    QTest::newRow("latin letters") << plain << 1252 << QStringLiteral("Café Ølø") << QString();
    QTest::newRow("euro sign") << plain << 1252 << QStringLiteral("€uro") << QString();
    QTest::newRow("greek letter") << plain << 1252 << QStringLiteral("Ωmega") << notIn1252;
    QTest::newRow("cyrillic") << plain << 1252 << QStringLiteral("пароль") << notIn1252;
    QTest::newRow("cyrillic in Windows-1251") << plain << 1251 << QStringLiteral("пароль") << QString();
    QTest::newRow("latin letter in Windows-1251")
        << plain << 1251 << QStringLiteral("Café") << QStringLiteral("code page of older files (Windows-1251)");
    QTest::newRow("protected: any letters") << protectedFile << 1252 << QStringLiteral("Ωmega пароль ✓") << QString();
    QTest::newRow("protected: 1,024 characters") << protectedFile << 1252 << QString(1024, 'x') << QString();
    QTest::newRow("protected: 1,025 characters")
        << protectedFile << 1252 << QString(1025, 'x') << QStringLiteral("at most 1024 characters");
    QTest::newRow("protected: 1,024 characters beyond the basic plane")
        << protectedFile << 1252 << QString::fromUcs4(std::u32string(1024, U'😀').c_str()) << QString();
}

void TestPasswordWindow::newPasswordMustFitTheFileKey()
{
    QFETCH(DataFile::Format, format);
    QFETCH(int, codePage);
    QFETCH(QString, password);
    QFETCH(QString, refusal);
    TextEncoding::setOlderFilesCodePage(*CodePage::fromNumber(codePage));
    const auto restore = qScopeGuard([] { TextEncoding::setOlderFilesCodePage(CodePage::windows1252()); });
    QLocale::setDefault(QLocale::c());
    Prompt prompt(true, format);
    for (QLineEdit* box : {prompt.passwordBox(), prompt.retypeBox()}) {
        box->setText(password);
        QTest::keyRelease(box, Qt::Key_Shift);
    }
    prompt.clickOk();
    QCOMPARE(prompt.window.isVisible(), !refusal.isEmpty());
    if (refusal.isEmpty()) {
        QVERIFY(prompt.messages.shown.isEmpty());
        QCOMPARE(prompt.window.password(), password);
        return;
    }
    QCOMPARE(prompt.messages.shown.size(), 1);
    QCOMPARE(prompt.messages.shown[0].kind, MessageService::Kind::Error);
    QVERIFY2(prompt.messages.shown[0].text.endsWith(refusal), qPrintable(prompt.messages.shown[0].text));
    QCOMPARE(prompt.passwordBox()->text(), password);
}

void TestPasswordWindow::concealedPromptResumesAsItWas()
{
    Prompt prompt(true);
    int result = -1;
    QTimer::singleShot(0, [&] {
        typeText(prompt.passwordBox(), QStringLiteral("first"));
        typeText(prompt.retypeBox(), QStringLiteral("first"));
        prompt.window.conceal();
        QVERIFY(!prompt.window.isVisible());
        prompt.window.reveal();
        QVERIFY(prompt.window.isVisible());
        QCOMPARE(prompt.passwordBox()->text(), QStringLiteral("first"));
        QVERIFY(prompt.ok()->isEnabled());
        prompt.clickOk();
    });
    prompt.window.hide();
    result = prompt.window.exec();
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(prompt.window.password(), QStringLiteral("first"));
}

void TestPasswordWindow::capsLockWarningShowsInEveryMode_data()
{
    QTest::addColumn<bool>("retype");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<bool>("capsLockOn");
    QTest::newRow("open a file, on") << false << false << "EditPassword" << true;
    QTest::newRow("open a file, off") << false << false << "EditPassword" << false;
    QTest::newRow("new password, retype box, on") << true << false << "EditRetype" << true;
    QTest::newRow("new password, retype box, off") << true << false << "EditRetype" << false;
    QTest::newRow("lock prompt, on") << false << true << "EditPassword" << true;
}

// The warning follows each key: the state is read again as it goes down and up.
void TestPasswordWindow::capsLockWarningShowsInEveryMode()
{
    QFETCH(bool, retype);
    QFETCH(bool, locked);
    QFETCH(QString, boxName);
    QFETCH(bool, capsLockOn);
    Prompt prompt(retype);
    prompt.window.setLockGuard([locked] { return locked; }, [](const QString&) { return false; });
    QVERIFY(QTest::qWaitForWindowActive(&prompt.window));
    QLabel* warning = prompt.label("LabelCapsLock");
    QVERIFY(warning->isHidden());
    prompt.capsLock.on = capsLockOn;
    // The Caps Lock key itself, which the box leaves to the window, counts once.
    QTest::keyPress(prompt.window.findChild<QLineEdit*>(boxName), Qt::Key_CapsLock);
    QCOMPARE(prompt.capsLock.keysNoted, 1);
    QCOMPARE(warning->isVisible(), capsLockOn);
    prompt.capsLock.on = !capsLockOn;
    QTest::keyRelease(prompt.window.findChild<QLineEdit*>(boxName), Qt::Key_CapsLock);
    QCOMPARE(warning->isVisible(), !capsLockOn);
}

void TestPasswordWindow::capsLockWarningNeedsTheActiveWindow()
{
    Prompt prompt(false);
    prompt.capsLock.on = true;
    // A window of its own, which the modal prompt does not block.
    QWidget other(&prompt.window, Qt::Window);
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QLabel* warning = prompt.label("LabelCapsLock");
    QVERIFY(warning->isHidden());
    // Room is kept for it, so the window keeps its size when it shows.
    const QSize size = prompt.window.size();
    QApplication::setActiveWindow(&prompt.window);
    QVERIFY(QTest::qWaitForWindowActive(&prompt.window));
    QVERIFY(warning->isVisible());
    prompt.window.layout()->activate();
    QCOMPARE(prompt.window.size(), size);
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(warning->isHidden());
}

void TestPasswordWindow::differingBoxesAreSaidToDiffer_data()
{
    QTest::addColumn<QString>("retype");
    QTest::addColumn<bool>("differ");
    QTest::newRow("nothing retyped yet") << "" << false;
    QTest::newRow("same") << "abc" << false;
    QTest::newRow("other case") << "abC" << true;
}

// Said once something is retyped. The eye shows both boxes until the next showing.
void TestPasswordWindow::differingBoxesAreSaidToDiffer()
{
    QFETCH(QString, retype);
    Prompt prompt(true);
    typeText(prompt.passwordBox(), QStringLiteral("abc"));
    typeText(prompt.retypeBox(), retype);
    QTEST(prompt.label("LabelPasswordsDiffer")->isVisible(), "differ");
    prompt.window.findChild<QToolButton*>(QStringLiteral("ButtonRevealPasswords"))->click();
    QCOMPARE(prompt.retypeBox()->echoMode(), QLineEdit::Normal);
    prompt.window.reject();
    prompt.window.open();
    QVERIFY(!prompt.label("LabelPasswordsDiffer")->isVisible());
    QCOMPARE(prompt.passwordBox()->echoMode(), QLineEdit::Password);
}

QTEST_MAIN(TestPasswordWindow)
#include "tst_formpassword.moc"
