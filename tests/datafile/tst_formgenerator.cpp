#include "config/CaptionTable.h"
#include "config/SettingsStore.h"
#include "datafile/GeneratorSettings.h"
#include "datafile/ui/FormGenerator.h"
#include "datafile/ui/FormPassword.h"

#include "support/ManualCapsLockState.h"
#include "support/ScriptedMessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <utility>

using PasswordGenerator::CharacterGroup;
using PasswordGenerator::Purpose;

namespace {

template <typename T>
T* control(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

QString preview(const QWidget& window)
{
    return control<QLineEdit>(window, "EditPreview")->text();
}

// Runs use with the generator window that the next modal loop opens.
void onGenerator(std::function<void(TFormGenerator&)> use)
{
    QTimer::singleShot(0, [use] { use(*qobject_cast<TFormGenerator*>(QApplication::activeModalWidget())); });
}

} // namespace

class TestGeneratorWindow : public QObject {
    Q_OBJECT

private slots:
    void everyChangeShowsANewPassword_data();
    void everyChangeShowsANewPassword();
    void lastGroupCannotBeCleared();
    void okGivesTheShownPasswordAndKeepsTheChoices_data();
    void okGivesTheShownPasswordAndKeepsTheChoices();
    void newPasswordWindowGeneratesIntoBothBoxes();
    void passphrasesFromTheWordList_data();
    void passphrasesFromTheWordList();
};

void TestGeneratorWindow::everyChangeShowsANewPassword_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("cleared"); // boxes clicked, in order
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("strength");
    const QStringList noLetters{"CheckBoxUpper", "CheckBoxLower", "CheckBoxSymbols"};
    QTest::newRow("defaults") << 20 << QStringList() << "[!-~]{20}"
                              << "130 bits";
    // Long enough that a new password equals the one before only once in 2^48 tries.
    QTest::newRow("digits") << 16 << noLetters << "[0-9]{16}"
                            << "53 bits";
    QTest::newRow("digits, no look-alikes") << 16 << noLetters + QStringList{"CheckBoxLookAlikes"} << "[2-9]{16}"
                                            << "48 bits";
    QTest::newRow("letters, longest") << 128 << QStringList{"CheckBoxDigits", "CheckBoxSymbols"} << "[A-Za-z]{128}"
                                      << "729 bits";
}

void TestGeneratorWindow::everyChangeShowsANewPassword()
{
    QFETCH(int, length);
    QFETCH(QStringList, cleared);
    QFETCH(QString, pattern);
    QFETCH(QString, strength);
    CaptionTable captions;
    TFormGenerator window(captions);
    window.open();
    QString shown = preview(window);
    const auto changed = [&] {
        const QString before = std::exchange(shown, preview(window));
        return before != shown;
    };
    control<QSpinBox>(window, "SpinEditLength")->setValue(length);
    QCOMPARE(changed(), length != 20);
    for (const QString& name : cleared) {
        control<QCheckBox>(window, qPrintable(name))->click();
        QVERIFY(changed());
    }
    QTest::mouseClick(control<QPushButton>(window, "ButtonRegenerate"), Qt::LeftButton);
    QVERIFY(changed());
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(shown).hasMatch(),
             qPrintable(shown));
    QCOMPARE(control<QLabel>(window, "LabelStrength")->text(), strength);
}

void TestGeneratorWindow::lastGroupCannotBeCleared()
{
    CaptionTable captions;
    TFormGenerator window(captions);
    window.open();
    auto* upper = control<QCheckBox>(window, "CheckBoxUpper");
    auto* digits = control<QCheckBox>(window, "CheckBoxDigits");
    for (const char* name : {"CheckBoxLower", "CheckBoxDigits", "CheckBoxSymbols", "CheckBoxUpper"})
        control<QCheckBox>(window, name)->click();
    QVERIFY(upper->isChecked() && !upper->isEnabled());
    QVERIFY(!preview(window).isEmpty());
    digits->click();
    upper->click();
    QVERIFY(!upper->isChecked() && upper->isEnabled() && !digits->isEnabled());
}

void TestGeneratorWindow::okGivesTheShownPasswordAndKeepsTheChoices_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("length");
    QTest::newRow("any field, Ok") << int(Purpose::AnyField) << true << 30;
    QTest::newRow("any field, Cancel") << int(Purpose::AnyField) << false << 30;
    QTest::newRow("data file password, Ok") << int(Purpose::DataFilePassword) << true << 16;
    QTest::newRow("protected file password, Ok") << int(Purpose::ProtectedFilePassword) << true << 30;
}

// Ok stores the choices, but a data file's fixed length is no choice. The
// note to learn the password shows for a file's password of either type.
void TestGeneratorWindow::okGivesTheShownPasswordAndKeepsTheChoices()
{
    QFETCH(int, purpose);
    QFETCH(bool, ok);
    QFETCH(int, length);
    const bool fixedLength = Purpose(purpose) == Purpose::DataFilePassword;
    CaptionTable captions;
    SettingsStore settings;
    settings.SetSetting(SettingKey::GenLength, QStringLiteral("30"));
    QString shown;
    onGenerator([&](TFormGenerator& window) {
        QCOMPARE(control<QSpinBox>(window, "SpinEditLength")->value(), length);
        QCOMPARE(control<QSpinBox>(window, "SpinEditLength")->isEnabled(), !fixedLength);
        // Every file's password must be learnt; a field's is kept in the file.
        QCOMPARE(control<QLabel>(window, "LabelDataFileNote")->isVisible(), Purpose(purpose) != Purpose::AnyField);
        control<QCheckBox>(window, "CheckBoxSymbols")->click();
        shown = preview(window);
        QTest::mouseClick(control<QPushButton>(window, ok ? "JvXPButtonOk" : "JvXPButtonCancel"), Qt::LeftButton);
        QVERIFY(preview(window).isEmpty());
    });
    const std::optional<QString> given = askGeneratedPassword(nullptr, captions, settings, Purpose(purpose), {});
    QCOMPARE(shown.size(), length);
    QCOMPARE(given, ok ? std::optional(shown) : std::nullopt);
    const PasswordGenerator::Rules kept = GeneratorSettings::storedRules(settings, Purpose::AnyField);
    QCOMPARE(kept.chooses(CharacterGroup::Symbols), !ok);
    QCOMPARE(kept.length, 30);
}

// Offered in new-password mode only; Cancel leaves the boxes, Ok fills both,
// and the window confirms the password as if it had been typed twice.
void TestGeneratorWindow::newPasswordWindowGeneratesIntoBothBoxes()
{
    CaptionTable captions;
    SettingsStore settings;
    ScriptedMessageService messages;
    ManualCapsLockState capsLock;
    TFormPassword window(captions, messages, capsLock);
    window.setGeneratedPasswordSource([&](QWidget* parent, Purpose purpose) {
        return askGeneratedPassword(parent, captions, settings, purpose, {});
    });
    window.open();
    auto* generate = control<QPushButton>(window, "JvXPButtonGenerate");
    QVERIFY(!generate->isVisible());
    window.SetPasswordMode(true);
    QVERIFY(generate->isVisible());

    onGenerator([](TFormGenerator& generator) { generator.reject(); });
    QTest::mouseClick(generate, Qt::LeftButton);
    QVERIFY(control<QLineEdit>(window, "EditPassword")->text().isEmpty());
    QVERIFY(!control<QPushButton>(window, "JvXPButtonOk")->isEnabled());

    QString shown;
    onGenerator([&](TFormGenerator& generator) {
        shown = preview(generator);
        generator.accept();
    });
    QTest::mouseClick(generate, Qt::LeftButton);
    QCOMPARE(shown.size(), 16);
    QCOMPARE(control<QLineEdit>(window, "EditRetype")->text(), shown);
    QTest::mouseClick(control<QPushButton>(window, "JvXPButtonOk"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(window.password(), shown);

    // A protected file's password is not held to a .zv file's length.
    window.setFile("private.zvx", DataFile::Format::Protected);
    window.open();
    onGenerator([&](TFormGenerator& generator) {
        control<QSpinBox>(generator, "SpinEditLength")->setValue(40);
        shown = preview(generator);
        generator.accept();
    });
    QTest::mouseClick(generate, Qt::LeftButton);
    QCOMPARE(shown.size(), 40);
    QCOMPARE(control<QLineEdit>(window, "EditPassword")->text(), shown);
}

void TestGeneratorWindow::passphrasesFromTheWordList_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("first"); // a passphrase is what the window shows first
    QTest::newRow("any field") << int(Purpose::AnyField) << true << false;
    QTest::newRow("protected file password") << int(Purpose::ProtectedFilePassword) << true << true;
    QTest::newRow("data file password") << int(Purpose::DataFilePassword) << false << false;
}

void TestGeneratorWindow::passphrasesFromTheWordList()
{
    QFETCH(int, purpose);
    const QStringList words{"ash",   "birch", "cedar", "elm",   "fir",   "hazel",  "larch",  "lime",
                            "maple", "oak",   "pine",  "plane", "rowan", "spruce", "willow", "yew"};
    CaptionTable captions;
    TFormGenerator window(captions);
    window.setWordList(words);
    window.setRules(PasswordGenerator::Rules(), Purpose(purpose));
    window.open();
    auto* radioWords = control<QRadioButton>(window, "RadioWords");
    QTEST(radioWords->isEnabled(), "offered");
    QTEST(window.passphraseChosen(), "first");
    if (!radioWords->isEnabled())
        return;
    radioWords->click();
    control<QSpinBox>(window, "SpinEditWords")->setValue(5);
    const QStringList drawn = preview(window).split('-');
    QVERIFY((QSet<QString>(drawn.cbegin(), drawn.cend()) - QSet<QString>(words.cbegin(), words.cend())).isEmpty());
    QCOMPARE(drawn.size(), 5);
    QCOMPARE(control<QLabel>(window, "LabelStrength")->text(), "20 bits");
}

QTEST_MAIN(TestGeneratorWindow)
#include "tst_formgenerator.moc"
