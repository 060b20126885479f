#include "config/CaptionTable.h"
#include "config/GeneratorSettings.h"
#include "config/SettingsStore.h"
#include "datafile/GeneratorWindow.h"
#include "datafile/PasswordWindow.h"

#include "support/ScriptedMessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using PasswordGenerator::CharacterGroup;
using PasswordGenerator::Purpose;

namespace {

template <typename T>
T* control(const QWidget& window, const char* name)
{
    auto* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString preview(const QWidget& window)
{
    return control<QLineEdit>(window, "EditPreview")->text();
}

// Runs with the generator window that the next modal loop opens.
void onGenerator(const std::function<void(TFormGenerator&)>& use)
{
    QTimer::singleShot(0, [use] {
        auto* window = qobject_cast<TFormGenerator*>(QApplication::activeModalWidget());
        QVERIFY(window);
        use(*window);
    });
}

} // namespace

class TestGeneratorWindow : public QObject {
    Q_OBJECT

private slots:
    void previewFollowsTheControls_data();
    void previewFollowsTheControls();
    void lastGroupCannotBeCleared();
    void okGivesTheShownPasswordAndKeepsTheChoices_data();
    void okGivesTheShownPasswordAndKeepsTheChoices();
    void passwordWindowGeneratesIntoBothBoxes();
    void generateOnlyForNewPasswords_data();
    void generateOnlyForNewPasswords();
};

void TestGeneratorWindow::previewFollowsTheControls_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("cleared");  // check boxes clicked off
    QTest::addColumn<bool>("avoidLookAlikes");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("strength");
    QTest::newRow("defaults") << 20 << QStringList() << false << "[!-~]{20}" << "130 bits";
    QTest::newRow("four digits") << 4 << QStringList{"CheckBoxUpper", "CheckBoxLower", "CheckBoxSymbols"} << false
                                 << "[0-9]{4}" << "13 bits";
    QTest::newRow("digits, no look-alikes") << 4 << QStringList{"CheckBoxUpper", "CheckBoxLower", "CheckBoxSymbols"}
                                            << true << "[2-9]{4}" << "12 bits";
    QTest::newRow("letters, longest") << 128 << QStringList{"CheckBoxDigits", "CheckBoxSymbols"} << false
                                      << "[A-Za-z]{128}" << "729 bits";
}

// Every change shows a new password to the new rules, with its strength.
void TestGeneratorWindow::previewFollowsTheControls()
{
    QFETCH(int, length);
    QFETCH(QStringList, cleared);
    QFETCH(bool, avoidLookAlikes);
    QFETCH(QString, pattern);
    QFETCH(QString, strength);
    CaptionTable captions;
    TFormGenerator window(captions);
    window.open();
    QString shown = preview(window);
    const auto changed = [&] {
        const bool isNew = preview(window) != shown;
        shown = preview(window);
        return isNew;
    };
    control<QSpinBox>(window, "SpinEditLength")->setValue(length);
    QCOMPARE(changed(), length != 20);
    for (const QString& name : cleared) {
        control<QCheckBox>(window, qPrintable(name))->click();
        QVERIFY(changed());
    }
    if (avoidLookAlikes) {
        control<QCheckBox>(window, "CheckBoxLookAlikes")->click();
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
    for (const char* name : {"CheckBoxLower", "CheckBoxDigits", "CheckBoxSymbols"})
        control<QCheckBox>(window, name)->click();
    QVERIFY(!upper->isEnabled());
    upper->click();
    QVERIFY(upper->isChecked());
    QVERIFY(!preview(window).isEmpty());

    auto* digits = control<QCheckBox>(window, "CheckBoxDigits");
    digits->click();
    QVERIFY(upper->isEnabled() && digits->isEnabled());
    upper->click();
    QVERIFY(!upper->isChecked() && !digits->isEnabled());
}

void TestGeneratorWindow::okGivesTheShownPasswordAndKeepsTheChoices_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("length");
    QTest::newRow("any field, Ok") << int(Purpose::AnyField) << true << 30;
    QTest::newRow("any field, Cancel") << int(Purpose::AnyField) << false << 30;
    QTest::newRow("data file password, Ok") << int(Purpose::DataFilePassword) << true << 16;
}

void TestGeneratorWindow::okGivesTheShownPasswordAndKeepsTheChoices()
{
    QFETCH(int, purpose);
    QFETCH(bool, ok);
    QFETCH(int, length);
    CaptionTable captions;
    SettingsStore settings;
    settings.SetSetting(SettingKey::GenLength, QStringLiteral("30"));
    QString shown;
    onGenerator([&](TFormGenerator& window) {
        auto* spin = control<QSpinBox>(window, "SpinEditLength");
        QCOMPARE(spin->value(), length);
        QCOMPARE(spin->isEnabled(), Purpose(purpose) == Purpose::AnyField);
        QCOMPARE(control<QLabel>(window, "LabelDataFileNote")->isVisible(), Purpose(purpose) != Purpose::AnyField);
        control<QCheckBox>(window, "CheckBoxSymbols")->click();
        shown = preview(window);
        QTest::mouseClick(control<QPushButton>(window, ok ? "JvXPButtonOk" : "JvXPButtonCancel"), Qt::LeftButton);
        // Nothing of the password stays in the window.
        QVERIFY(preview(window).isEmpty());
    });
    const std::optional<QString> given = askGeneratedPassword(nullptr, captions, settings, Purpose(purpose));
    QCOMPARE(given.has_value(), ok);
    QCOMPARE(shown.size(), length);
    if (ok)
        QCOMPARE(*given, shown);
    const PasswordGenerator::Rules kept = GeneratorSettings::storedRules(settings, Purpose::AnyField);
    QCOMPARE(kept.chooses(CharacterGroup::Symbols), !ok);
    QCOMPARE(kept.length, 30);
}

// The generated password goes into both boxes of the new-password window,
// which then confirms it as if it had been typed twice.
void TestGeneratorWindow::passwordWindowGeneratesIntoBothBoxes()
{
    CaptionTable captions;
    SettingsStore settings;
    ScriptedMessageService messages;
    TFormPassword window(captions, messages);
    window.setGeneratedPasswordSource([&](QWidget* parent) {
        return askGeneratedPassword(parent, captions, settings, Purpose::DataFilePassword);
    });
    window.SetPasswordMode(true);
    window.open();
    auto* generate = control<QPushButton>(window, "JvXPButtonGenerate");

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
    QVERIFY(messages.shown.isEmpty());
}

void TestGeneratorWindow::generateOnlyForNewPasswords_data()
{
    QTest::addColumn<bool>("retype");
    QTest::addColumn<bool>("source");
    QTest::addColumn<bool>("offered");
    QTest::newRow("new password") << true << true << true;
    QTest::newRow("enter mode") << false << true << false;
    QTest::newRow("no source") << true << false << false;
}

void TestGeneratorWindow::generateOnlyForNewPasswords()
{
    QFETCH(bool, retype);
    QFETCH(bool, source);
    QFETCH(bool, offered);
    CaptionTable captions;
    ScriptedMessageService messages;
    TFormPassword window(captions, messages);
    if (source)
        window.setGeneratedPasswordSource([](QWidget*) { return std::optional<QString>(); });
    window.SetPasswordMode(retype);
    window.open();
    QCOMPARE(control<QPushButton>(window, "JvXPButtonGenerate")->isVisible(), offered);
}

QTEST_MAIN(TestGeneratorWindow)
#include "tst_generatorwindow.moc"
