#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "config/SettingsStore.h"
#include "config/ui/FormSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <utility>

namespace {

const QStringList CheckNames = {"SysTray",  "Hidden",  "ExtAssociations", "OpenLast",
                                "AutoSave", "Backups", "AutoBlocking"};

SettingsStore settingsFrom(const QStringList& lines)
{
    SettingsStore settings;
    for (const QString& line : lines)
        settings.SetSetting(line.section('=', 0, 0), line.section('=', 1));
    return settings;
}

} // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void trayBoxGovernsStartHidden();
    void labelReleaseWorksItsBox_data();
    void labelReleaseWorksItsBox();
    void loadsSettings_data();
    void loadsSettings();
    void loadingAgainUndoesChanges();
    void closingGivesResult();
    void stateRebuildsSettingsList();
    void optionalFlagsLoadAndStore_data();
    void optionalFlagsLoadAndStore();
    void captionsAndLanguageRefill();
    void codePageFollowsChosenLanguage();
    void newFileCostIsShown();

private:
    QCheckBox* box(const QString& name) { return m_window->findChild<QCheckBox*>("CheckBox" + name); }
    QComboBox* minutes() { return m_window->findChild<QComboBox*>("ComboBoxMinutes"); }
    void release(const QString& name, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(m_window->findChild<QLabel*>("Label" + name), button);
    }
    // The checked boxes by name, in window order.
    QStringList checked()
    {
        QStringList names;
        for (const QString& name : CheckNames) {
            if (box(name)->isChecked())
                names.append(name);
        }
        return names;
    }
    void showWith(const QStringList& settings)
    {
        m_window->LoadSettingsIntoWindow(settingsFrom(settings));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProgramPaths> m_paths;
    CaptionTable m_captions;
    std::unique_ptr<TFormSettings> m_window;
};

void TestSettingsWindow::init()
{
    m_window.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_paths = std::make_unique<ProgramPaths>(m_dir->path() + "/zantrove");
    QVERIFY(QDir().mkpath(m_paths->languagesFolder() + "Deutsch"));
    QVERIFY(QDir().mkpath(m_paths->languagesFolder() + "Francais"));
    m_captions.clear();
    m_window = std::make_unique<TFormSettings>(m_captions, *m_paths);
}

void TestSettingsWindow::trayBoxGovernsStartHidden()
{
    showWith({"systray=1", "hidden=1"});
    release("SysTray");
    QCOMPARE(checked(), QStringList());
    QVERIFY(!box("Hidden")->isEnabled());
    release("Hidden"); // greyed: no reaction
    release("Hidden", Qt::RightButton);
    QVERIFY(!m_window->hiddenChecked());

    QTest::mouseClick(box("SysTray"), Qt::LeftButton);
    QCOMPARE(checked(), QStringList{"SysTray"});
    release("Hidden");
    QVERIFY(m_window->hiddenChecked());
}

void TestSettingsWindow::labelReleaseWorksItsBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << "Backups" << Qt::LeftButton;
    QTest::newRow("right") << "ExtAssociations" << Qt::RightButton;
    QTest::newRow("middle, auto-lock") << "AutoBlocking" << Qt::MiddleButton;
}

void TestSettingsWindow::labelReleaseWorksItsBox()
{
    QFETCH(QString, name);
    QFETCH(Qt::MouseButton, button);
    showWith({});
    release(name, button);
    QCOMPARE(checked(), QStringList{name});
    QVERIFY(box(name)->hasFocus());
    QCOMPARE(minutes()->isEnabled(), name == "AutoBlocking");
    release(name, button);
    QCOMPARE(checked(), QStringList());
    QVERIFY(!minutes()->isEnabled());
}

void TestSettingsWindow::loadsSettings_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("checkedBoxes");
    QTest::addColumn<QString>("minutesShown");

    QTest::newRow("empty") << QStringList() << "English" << QStringList() << "1";
    QTest::newRow("hidden without tray") << QStringList{"systray=0", "hidden=1"} << "English"
                                         << QStringList{"SysTray", "Hidden"} << "1";
    QTest::newRow("all on") << QStringList{"language=Francais", "systray=1",      "hidden=1",
                                           "assotiate=1",       "openlast=1",     "autosave=1",
                                           "backups=1",         "autoblocking=1", "blockingtime=10"}
                            << "Francais" << CheckNames << "10";
    QTest::newRow("only exactly 1 is on")
        << QStringList{"SYSTRAY=1", "assotiate= 1", "openlast=true"} << "English" << QStringList{"SysTray"} << "1";
    QTest::newRow("language in other letter case")
        << QStringList{"language=deutsch"} << "English" << QStringList() << "1";
    QTest::newRow("unknown language") << QStringList{"language=Klingon"} << "English" << QStringList() << "1";
    QTest::newRow("minutes not offered") << QStringList{"autoblocking=1", "blockingtime=7"} << "English"
                                         << QStringList{"AutoBlocking"} << "7";
    // Minutes the lock cannot use mean no lock.
    QTest::newRow("minutes not a number")
        << QStringList{"autoblocking=1", "blockingtime=abc"} << "English" << QStringList() << "1";
    QTest::newRow("minutes below one") << QStringList{"autoblocking=1", "blockingtime=0"} << "English" << QStringList()
                                       << "1";
    QTest::newRow("minutes, auto-lock off") << QStringList{"blockingtime=20"} << "English" << QStringList() << "1";
}

void TestSettingsWindow::loadsSettings()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, language);
    QFETCH(QStringList, checkedBoxes);
    QFETCH(QString, minutesShown);
    // Start from other selections, so a skipped step shows.
    m_window->selectLanguageIndex(2);
    minutes()->setCurrentIndex(4);

    m_window->LoadSettingsIntoWindow(settingsFrom(settings));
    QCOMPARE(m_window->selectedLanguage(), language);
    QCOMPARE(checked(), checkedBoxes);
    QCOMPARE(minutes()->currentText(), minutesShown);
    QCOMPARE(box("Hidden")->isEnabled(), checkedBoxes.contains("SysTray"));
    QCOMPARE(minutes()->isEnabled(), checkedBoxes.contains("AutoBlocking"));
}

void TestSettingsWindow::loadingAgainUndoesChanges()
{
    const QStringList settings = {"language=Deutsch", "systray=1",      "hidden=1",
                                  "backups=1",        "autoblocking=1", "blockingtime=5"};
    showWith(settings);
    for (const char* name : {"SysTray", "Backups", "AutoSave", "AutoBlocking"})
        release(name);
    minutes()->setCurrentIndex(4);
    m_window->selectLanguageIndex(0);
    QCOMPARE(checked(), QStringList{"AutoSave"});

    m_window->LoadSettingsIntoWindow(settingsFrom(settings));
    QCOMPARE(checked(), QStringList({"SysTray", "Hidden", "Backups", "AutoBlocking"}));
    QCOMPARE(m_window->selectedLanguage(), QString("Deutsch"));
    QCOMPARE(minutes()->currentText(), QString("5"));
    QVERIFY(box("Hidden")->isEnabled() && minutes()->isEnabled());
}

void TestSettingsWindow::closingGivesResult()
{
    // Enter closes through Ok from any control; Escape and the close box cancel.
    const std::pair<Qt::Key, QDialog::DialogCode> closings[] = {{Qt::Key_Return, QDialog::Accepted},
                                                                {Qt::Key_Escape, QDialog::Rejected}};
    for (const auto& [key, result] : closings) {
        showWith({});
        QTest::keyClick(box("Backups"), key);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(result));
    }
    showWith({});
    m_window->setResult(QDialog::Accepted);
    QVERIFY(m_window->close());
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
}

void TestSettingsWindow::stateRebuildsSettingsList()
{
    m_window->LoadSettingsIntoWindow(settingsFrom({"language=Francais", "hidden=1", "assotiate=1", "openlast=1",
                                                   "autoblocking=1", "blockingtime=20", "clipboardseconds=45"}));
    QVERIFY(m_window->associationChecked());
    auto* codePages = m_window->findChild<QComboBox*>("ComboBoxCodePage");
    QCOMPARE(codePages->currentText(), QString("Windows-1252"));
    codePages->setCurrentIndex(codePages->findText("Windows-1250"));
    QCOMPARE(StoreSettingsFromWindow(m_window->windowState("/data/keys.zv")).lines(),
             QStringList({"language=Francais", "codepage=1250", "systray=1", "hidden=1", "assotiate=1", "openlast=1",
                          "autosave=0", "backups=0", "autoblocking=1", "blockingtime=20", "clipboardseconds=45",
                          "lastfile=/data/keys.zv"}));

    // A time not offered is an entry of its own, in its place, until the
    // next load.
    auto entries = [this] {
        QStringList texts;
        for (int i = 0; i < minutes()->count(); ++i)
            texts.append(minutes()->itemText(i));
        return texts;
    };
    m_window->LoadSettingsIntoWindow(settingsFrom({"autoblocking=1", "blockingtime=3"}));
    QCOMPARE(m_window->windowState(QString()).blockingTime, QString("3"));
    QCOMPARE(entries(), QStringList({"1", "2", "3", "5", "10", "20"}));
    m_window->LoadSettingsIntoWindow(settingsFrom({"autoblocking=1", "blockingtime=2"}));
    QCOMPARE(entries(), blockingTimeChoices());
}

void TestSettingsWindow::optionalFlagsLoadAndStore_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("checkedBoxes");
    QTest::addColumn<QStringList>("storedLines");
    const QStringList onByDefault = {"LockOnScreenLock", "LockBeforeSleep", "NewProtected"};
    QTest::newRow("defaults") << QStringList() << onByDefault << QStringList();
    const QStringList allTurned = {"lockonscreenlock=0", "lockbeforesleep=0", "lockwhenminimised=1", "newprotected=0"};
    QTest::newRow("all turned") << allTurned << QStringList{"LockWhenMinimised"} << allTurned;
    QTest::newRow("not flags") << QStringList{"lockonscreenlock=off", "lockwhenminimised=yes", "newprotected=on"}
                               << onByDefault << QStringList();
}

// Flags stored only while they differ from their defaults: loaded into the
// boxes and stored from them again, through a click on a label.
void TestSettingsWindow::optionalFlagsLoadAndStore()
{
    QFETCH(QStringList, settings);
    QFETCH(QStringList, checkedBoxes);
    QFETCH(QStringList, storedLines);
    const QStringList names = {"LockOnScreenLock", "LockBeforeSleep", "LockWhenMinimised", "NewProtected"};
    showWith(settings);
    for (const QString& name : names)
        QCOMPARE(box(name)->isChecked(), checkedBoxes.contains(name));
    const auto storedLockLines = [this] {
        return StoreSettingsFromWindow(m_window->windowState(QString()))
            .lines()
            .filter(QRegularExpression("^(lock|newprotected)"));
    };
    QCOMPARE(storedLockLines(), storedLines);
    release("LockWhenMinimised");
    QCOMPARE(storedLockLines().contains("lockwhenminimised=1"), !checkedBoxes.contains("LockWhenMinimised"));
}

// What was measured for new protected files; a value beyond the limits counts as none.
void TestSettingsWindow::newFileCostIsShown()
{
    const auto shown = [this](const QString& passes) {
        m_window->LoadSettingsIntoWindow(settingsFrom({"kdfpasses=" + passes}));
        return m_window->findChild<QLabel*>("LabelNewFileCost")->text();
    };
    QCOMPARE(shown("7"), QString("Key derivation: 7 passes over 256 MiB, about 1 s here"));
    QCOMPARE(shown("65"), QString("Key derivation: fitted to this computer at first use"));
}

void TestSettingsWindow::captionsAndLanguageRefill()
{
    auto text = [this](const char* name) { return m_window->findChild<QLabel*>(name)->text(); };
    QCOMPARE(text("LabelBlockingTime"), QString("Blocking time:"));
    // Beside the lock: a document never saved has no password to ask for.
    QVERIFY(m_window->findChild<QLabel*>("LabelBlockingNote"));
    QCOMPARE(text("LabelBlockingNote"), QString("Only a file that has been opened or saved is locked"));
    m_window->selectLanguageIndex(2);
    // Sorted before the selected one: the selection follows its name.
    QVERIFY(QDir().mkpath(m_paths->languagesFolder() + "Bosanski"));
    m_captions.setLines(NameValueList({"SettingsCaption=Einstellungen", "settingslabellanguage=Sprache"}));

    m_window->ApplySettingsCaptions();
    QCOMPARE(m_window->windowTitle(), QString("Einstellungen"));
    QCOMPARE(text("LabelLanguage"), QString("Sprache:"));
    QCOMPARE(text("LabelBackups"), QString("Create backups"));
    QCOMPARE(m_window->findChild<QComboBox*>("ComboBoxLang")->count(), 4);
    QCOMPARE(m_window->selectedLanguage(), QString("Francais"));

    // A position that the shorter list no longer has falls back to the first.
    m_window->selectLanguageIndex(3);
    QVERIFY(QDir(m_paths->languagesFolder()).removeRecursively());
    m_window->ApplySettingsCaptions();
    QCOMPARE(m_window->selectedLanguage(), QString("English"));
}

// Unless the user picked a code page, it follows the language chosen, and
// is stored only when it is not the language's own.
void TestSettingsWindow::codePageFollowsChosenLanguage()
{
    const QString russian = QString::fromUtf8("Русский");
    QVERIFY(QDir().mkpath(m_paths->languagesFolder() + russian));
    m_window->ApplySettingsCaptions();
    showWith({});
    // Chosen by typing, one event a character so Cyrillic arrives too.
    const auto choose = [this](const char* list, const QString& text) {
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, m_window->findChild<QComboBox*>(list), Qt::Key_unknown,
                                QString(character), Qt::NoModifier);
        return StoreSettingsFromWindow(m_window->windowState(QString())).lines().filter("codepage=");
    };
    QCOMPARE(choose("ComboBoxLang", russian), QStringList());
    QCOMPARE(choose("ComboBoxLang", "English"), QStringList());
    choose("ComboBoxCodePage", "Windows-1250");
    QCOMPARE(choose("ComboBoxLang", russian), QStringList{"codepage=1250"});
    QCOMPARE(m_window->selectedLanguage(), russian);
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_formsettings.moc"
