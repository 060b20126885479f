#include "ProgramFixture.h"

#include "base/TextEncoding.h"
#include "config/ui/FormSettings.h"
#include "document/FieldFormats.h"
#include "document/ui/DocumentTreeModel.h"
#include "editor/ui/RecordEditor.h"
#include "search/ui/FormSearch.h"

#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace {

const QByteArray Sample = "<data>"
                          "<record parent_type=\"Note\" type=\"NOTE\"><label link=\"Title\"></label>"
                          "<field name=\"Title\" basic_type=\"TEXT\">Card reader</field>"
                          "<field name=\"Odd\" basic_type=\"CUSTOM\">card kept but not shown</field>"
                          "<field name=\"Notes\" basic_type=\"LONG TEXT\">my card, old&#13;&#10;</field></record>"
                          "<folder name=\"Money\" type=\"BUSINESS\">"
                          "<record parent_type=\"Payment Card\" type=\"PAYMENT CARD\"><label link=\"Bank\"></label>"
                          "<field name=\"Bank\" basic_type=\"TEXT\">Example</field>"
                          "<field name=\"PIN\" basic_type=\"NUMBER\">1234</field></record>"
                          "</folder>"
                          "</data>";

} // namespace

class TestSearchAndSettings : public ProgramTestCase {
    Q_OBJECT

private:
    QString selectedCaption() { return main().treeModel().caption(main().TreeView().currentIndex()); }

    void startWithSample(const QByteArray& settings = {})
    {
        m_fixture->writeSettings(settings);
        m_fixture->writeDataFile(path("private.zv"), "secret", Sample);
        m_fixture->start(path("private.zv"), {"secret"});
    }

    // Find with keyword typed into the search window as a user would.
    void find(const QString& keyword, bool fieldNames = false)
    {
        TFormSearch& window = m_fixture->program().searchWindow();
        WhenShown search(window, [&] {
            auto* edit = window.findChild<QLineEdit*>("EditKeyword");
            edit->selectAll();
            QTest::keyClicks(edit, keyword);
            window.findChild<QCheckBox*>("CheckBoxFieldNames")->setChecked(fieldNames);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        main().ActionFindExecute();
    }

    // The editor control holding the main window's focus (the window need not be active).
    QWidget* focusedEditorControl()
    {
        QWidget* focus = main().focusWidget();
        const QList<QWidget*>& controls = main().recordEditor().controlList();
        for (QWidget* control : controls) {
            if (control == focus || control->isAncestorOf(focus))
                return control;
        }
        return nullptr;
    }

private slots:
    void findThenFindNextWalkCaptionsAndFields()
    {
        startWithSample();
        find("CARD");
        QCOMPARE(selectedCaption(), QStringLiteral("Card reader"));
        QVERIFY(main().actions().findNext->isEnabled());

        // The caption hit moves on to the record's first matching shown field;
        // the field of an unknown type matches too but has no control.
        main().FindNext1Click();
        QCOMPARE(selectedCaption(), QStringLiteral("Card reader"));
        QCOMPARE(focusedEditorControl(), main().recordEditor().controlList().at(1));
        main().FindNext1Click();
        main().FindNext1Click();
        QCOMPARE(focusedEditorControl(), main().recordEditor().controlList().at(3));

        main().FindNext1Click();
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Nothing found below the current record"});
        main().FindNext1Click();
        QCOMPARE(m_fixture->messages.texts().size(), 2);
    }

    void findWithoutAHitReportsAndDisablesFindNext()
    {
        startWithSample();
        find("nowhere");
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Search Completed. Nothing found"});
        QVERIFY(!main().actions().findNext->isEnabled());
    }

    void fieldNamesAreSearchedOnRequest()
    {
        startWithSample();
        find("pin");
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Search Completed. Nothing found"});
        find("pin", true);
        QCOMPARE(selectedCaption(), QStringLiteral("Example"));
    }

    void settingsOkReloadsTheLanguage()
    {
        QDir(path(".")).mkpath("languages/Deutsch");
        TestSupport::writeFile(path("languages/Deutsch/lang.ini"),
                               "MainMenuFile=Datei\r\nMainTitleUntitled=Unbenannt\r\n");
        startWithSample();
        main().New1Click();
        main().SetModified(true);
        TFormSettings& settings = m_fixture->program().settingsWindow();
        WhenShown choose(settings, [&] {
            auto* languages = settings.findChild<QComboBox*>("ComboBoxLang");
            languages->setCurrentIndex(languages->findText("Deutsch"));
            QTest::mouseClick(settings.findChild<QPushButton*>("JvXPButtonOk"), Qt::LeftButton);
        });
        m_fixture->program().ActionSettingsExecute();
        QCOMPARE(main().menuBar()->actions().first()->iconText(), QStringLiteral("Datei"));
        QCOMPARE(main().windowTitle(), QStringLiteral("Unbenannt* \u2014 Zantrove 1.1"));
        QCOMPARE(m_fixture->program().settings().GetSetting("language"), QStringLiteral("Deutsch"));
        QMenu* languageMenu = main().findChild<QMenu*>("Language1");
        QStringList checked;
        for (QAction* item : languageMenu->actions()) {
            if (item->isChecked())
                checked << item->text();
        }
        QCOMPARE(checked, QStringList{"Deutsch"});
    }

    void settingsCancelPutsTheStoredSettingsBack()
    {
        startWithSample();
        TFormSettings& settings = m_fixture->program().settingsWindow();
        WhenShown changeThenCancel(settings, [&] {
            settings.findChild<QCheckBox*>("CheckBoxExtAssociations")->setChecked(true);
            settings.findChild<QCheckBox*>("CheckBoxSysTray")->setChecked(true);
            QTest::keyClick(&settings, Qt::Key_Escape);
        });
        m_fixture->program().ActionSettingsExecute();
        QVERIFY(!settings.associationChecked());
        QVERIFY(!settings.findChild<QCheckBox*>("CheckBoxSysTray")->isChecked());
        QVERIFY(!QFile::exists(path("xdg-data/mime/packages/zantrove-zvfile.xml")));
        QVERIFY(!m_fixture->tray.calls().contains(RecordingTrayShell::Call::Add));
    }

    // Settings that cannot be read start the program with defaults, are not
    // written over at the end, and stop nothing.
    void unreadableSettingsFileIsLeftAlone()
    {
        const QString settingsFile = path("zantrove.ini");
        QVERIFY(QDir().mkpath(settingsFile));
        m_fixture->start();
        QVERIFY(main().isVisible());
        QVERIFY(m_fixture->program().settings().list().lines().isEmpty());
        m_fixture->program().finish();
        QVERIFY(QFileInfo(settingsFile).isDir());
    }

    void startingWithTheAssociationOnRegistersTheFileType()
    {
        startWithSample("assotiate=1\r\n");
        QVERIFY(QFile::exists(path("xdg-data/mime/packages/zantrove-zvfile.xml")));
        QVERIFY(QFile::exists(path("xdg-data/applications/zantrove-zvfile.desktop")));
    }

    void theCodePageOfOlderFilesFollowsTheLanguage()
    {
        QDir(path(".")).mkpath(QString::fromUtf8("languages/Русский"));
        startWithSample();
        auto* codePages = m_fixture->program().settingsWindow().findChild<QComboBox*>("ComboBoxCodePage");
        const std::pair<int, QString> languages[] = {{1, "Windows-1251"}, {0, "Windows-1252"}};
        for (const auto& [index, codePage] : languages) {
            m_fixture->program().LanguageMenuItemClick(index);
            QCOMPARE(TextEncoding::olderFilesCodePage().name(), codePage);
            QCOMPARE(codePages->currentText(), codePage);
        }
    }

    // Qt's own buttons speak the chosen language, and only the latest one.
    void stockTextsFollowTheLanguage()
    {
        for (const char* folder : {"languages/Deutsch", "languages/Русский"})
            QDir(path(".")).mkpath(QString::fromUtf8(folder));
        startWithSample("language=Deutsch\r\n");
        const auto cancelText = [] {
            QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::Cancel);
            return box.button(QMessageBox::Cancel)->text();
        };
        QCOMPARE(cancelText(), QStringLiteral("Abbrechen"));
        const std::pair<int, QString> languages[] = {{2, QString::fromUtf8("Отмена")}, {0, "Cancel"}};
        for (const auto& [index, cancel] : languages) {
            m_fixture->program().LanguageMenuItemClick(index);
            QCOMPARE(cancelText(), cancel);
        }
    }

    // The editor and the search read dates as the chosen language writes them.
    void datesFollowTheLanguage()
    {
        QDir(path(".")).mkpath("languages/Deutsch");
        startWithSample("language=Deutsch\r\n");
        QCOMPARE(dateDisplayText("20240502:"), QStringLiteral("03.06.2024"));
        m_fixture->program().LanguageMenuItemClick(0);
        QCOMPARE(dateDisplayText("20240502:"), QStringLiteral("Jun 3, 2024"));
    }

    // A language without any catalogue is not taken; the program ends, but
    // only after the close question, and Cancel keeps it running.
    void languageWithoutCatalogueAsksBeforeEnding_data()
    {
        QTest::addColumn<MessageService::Answer>("answer");
        QTest::newRow("cancel") << MessageService::Answer::Cancel;
        QTest::newRow("no") << MessageService::Answer::No;
    }

    void languageWithoutCatalogueAsksBeforeEnding()
    {
        QFETCH(MessageService::Answer, answer);
        QDir(path(".")).mkpath("languages/Mine");
        startWithSample();
        QVERIFY(QFile::remove(path("config.xml")));
        main().SetModified(true);
        m_fixture->messages.answers.enqueue(answer);

        m_fixture->program().LanguageMenuItemClick(1);
        QCOMPARE(m_fixture->messages.texts(),
                 QStringList({"Config file not found", "Do you want to save the changes?"}));
        QCOMPARE(main().isVisible(), answer == MessageService::Answer::Cancel);
        QCOMPARE(m_fixture->program().settings().GetSetting("language"), QStringLiteral("English"));
        QCOMPARE(m_fixture->program().settingsWindow().selectedLanguage(), QStringLiteral("English"));
        QVERIFY(main().findChild<QMenu*>("Language1")->actions().first()->isChecked());
    }

    void theLanguageMenuSwitchesLanguageAndCatalogue()
    {
        startWithSample();
        QMenu* languageMenu = main().findChild<QMenu*>("Language1");
        QAction* russian = nullptr;
        for (QAction* item : languageMenu->actions()) {
            if (item->text() == QString::fromUtf8("Русский"))
                russian = item;
        }
        QVERIFY2(!russian, "the test program folder holds no shipped languages");

        QDir(path(".")).mkpath("languages/Mine");
        TestSupport::writeFile(path("languages/Mine/lang.ini"), "MainActionNewGroup=Groupe\r\n");
        m_fixture->program().ReloadLanguage();
        const QList<QAction*> items = languageMenu->actions();
        QCOMPARE(items.size(), 2);
        items.last()->trigger();
        QCOMPARE(main().actions().newGroup->iconText(), QStringLiteral("Groupe"));
        QVERIFY(items.size() == 2 && languageMenu->actions().last()->isChecked());
    }
};

QTEST_MAIN(TestSearchAndSettings)
#include "tst_searchandsettings.moc"
