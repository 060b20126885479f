#include "app/ui/Artwork.h"
#include "app/ui/FormMain.h"
#include "app/ui/Program.h"
#include "config/SettingsStore.h"
#include "datafile/DataFile.h"
#include "datafile/ui/FormPassword.h"
#include "document/Schema.h"
#include "document/ui/DocumentTreeModel.h"
#include "editor/ui/RecordEditor.h"
#include "tray/ui/SysTray.h"

#include "ProgramFixture.h"
#include "support/RecordingDesktopLauncher.h"
#include "support/RecordingTrayShell.h"
#include "support/ScriptedMessageService.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QByteArray SampleXml =
    "<data>"
    "<folder name=\"Web\" type=\"OFFICE\">"
    "<record parent_type=\"Web Site\" type=\"WEB SITE\"><label link=\"URL\" link2=\"Login\"></label>"
    "<field name=\"URL\" basic_type=\"TEXT\">example.org</field>"
    "<field name=\"Login\" basic_type=\"TEXT\">jane</field>"
    "<field name=\"Since\" basic_type=\"DATE\">20240502:</field></record>"
    "</folder>"
    "<record parent_type=\"Note\" type=\"NOTE\"><label link=\"Title\"></label>"
    "<field name=\"Title\" basic_type=\"TEXT\">Groceries</field>"
    "<field name=\"Text\" basic_type=\"LONG TEXT\">milk&#13;&#10;</field></record>"
    "</data>";

} // namespace

class TestMainWindow : public ProgramTestCase {
    Q_OBJECT

private:
    QString dataFile(const QString& name = "private.zv") const { return path(name); }
    void writeSettings(const QByteArray& lines) { m_fixture->writeSettings(lines); }
    void writeDataFile(const QString& path, const QString& password)
    {
        m_fixture->writeDataFile(path, password, SampleXml);
    }

    // Starts the program; password answers the start-up prompt. Gives the
    // number of prompts that showed.
    int start(const QString& commandLineFile = {}, const QString& password = {})
    {
        m_fixture->start(commandLineFile, {password});
        return m_fixture->promptsAnswered();
    }

    const MainActions& actions() { return main().actions(); }

    QModelIndex node(const QString& caption) { return nodeCaptioned(main().treeModel(), caption); }

    void select(const QString& caption)
    {
        const QModelIndex index = node(caption);
        QVERIFY2(index.isValid(), qPrintable(caption));
        main().TreeView().setCurrentIndex(index);
    }

private slots:
    void startsWithAnEmptyDocument()
    {
        QCOMPARE(start(), 0);
        QVERIFY(main().isVisible());
        QCOMPARE(main().windowTitle(), QStringLiteral("Zantrove 1.1"));
        QCOMPARE(main().treeModel().nodeCount(), 0);
        QCOMPARE(main().XMLDocumentData().toText(), QByteArray("<data/>\r\n"));
        QVERIFY(!main().Modified());
        for (const QAction* disabled : {actions().newField, actions().deleteItem, actions().find, actions().findNext,
                                        actions().changePassword, actions().save, actions().saveAs})
            QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
        for (const QAction* enabled : {actions().newGroup, actions().newRecord, actions().settings})
            QVERIFY2(enabled->isEnabled(), qPrintable(enabled->objectName()));
        QVERIFY(!m_fixture->tray.calls().contains(RecordingTrayShell::Call::Add));
    }

    void withoutACatalogueTheProgramEnds()
    {
        QFile::remove(dataFile("config.xml"));
        Program program(ProgramPaths(dataFile("zantrove")),
                        PlatformServices{m_fixture->messages, m_fixture->launcher, m_fixture->tray, m_fixture->idle,
                                         m_fixture->sessionEvents, m_fixture->capsLock});
        QVERIFY(!program.createWindows());
        QCOMPARE(m_fixture->messages.texts(), QStringList{"Config file not found"});
    }

    void menusToolButtonsAndShortcuts()
    {
        start();
        const QStringList bar = {"&File", "&Edit", "&Search", "&Tools", "&Options", "&Help"};
        QStringList titles;
        for (QAction* entry : main().menuBar()->actions())
            titles << entry->text();
        QCOMPARE(titles, bar);
        auto* mobile = qobject_cast<QToolButton*>(main().menuBar()->cornerWidget(Qt::TopRightCorner));
        QVERIFY(mobile);
        QCOMPARE(mobile->text(), QStringLiteral("Get Mobile Version!"));
        QTest::mouseClick(mobile, Qt::LeftButton);
        QCOMPARE(m_fixture->launcher.openedUrls.size(), 1);
        // The keyboard reaches it through the Help menu.
        QVERIFY(main().menuBar()->actions().last()->menu()->actions().contains(actions().mobileVersion));

        QCOMPARE(actions().save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(actions().findNext->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(actions().settings->shortcut(), QKeySequence(Qt::Key_F12));
        auto* search = main().findChild<QToolButton*>("JvXPButtonSearch");
        QVERIFY(search);
        QCOMPARE(search->defaultAction(), actions().find);
        QCOMPARE(search->text(), QStringLiteral("Find"));
    }

    // Alt with a letter must open one menu of the bar, and one item of an
    // open menu, in every language shipped.
    void menuMnemonicsDoNotClash_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English defaults") << QString();
        const QDir shipped(TestSupport::sourceDir() + "/data/languages");
        for (const QString& language : shipped.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(language)) << language;
    }

    void menuMnemonicsDoNotClash()
    {
        QFETCH(QString, language);
        if (!language.isEmpty()) {
            QDir(path(".")).mkpath("languages/" + language);
            QVERIFY(QFile::copy(TestSupport::sourceDir() + "/data/languages/" + language + "/lang.ini",
                                path("languages/" + language + "/lang.ini")));
            writeSettings(("language=" + language + "\r\n").toUtf8());
        }
        start();
        QList<QList<QAction*>> groups = {main().menuBar()->actions(), main().PopupMenuTree().actions(),
                                         main().PopupMenuTray().actions()};
        for (QAction* title : main().menuBar()->actions())
            groups << title->menu()->actions();
        for (const QList<QAction*>& group : groups) {
            QSet<QKeySequence> keys;
            for (const QAction* entry : group) {
                if (entry->isSeparator())
                    continue;
                const QKeySequence key = QKeySequence::mnemonic(entry->text());
                QVERIFY2(!key.isEmpty() && !keys.contains(key), qPrintable(entry->text()));
                keys.insert(key);
            }
        }
    }

    void toolButtonsShowTheActionArtwork_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<QString>("picture");
        const auto row = [](const char* button, const char* actionName, Artwork::ActionIcon icon) {
            QTest::newRow(button) << button << actionName << Artwork::actionIconName(icon) + "@2x.png";
        };
        row("JvXPButtonNewGroup", "ActionNewGroup", Artwork::ActionIcon::NewGroup);
        row("JvXPButtonNewRecord", "ActionNewRecord", Artwork::ActionIcon::NewRecord);
        row("JvXPButtonNewField", "ActionNewField", Artwork::ActionIcon::NewField);
        row("JvXPButtonDelete", "ActionDelete", Artwork::ActionIcon::Delete);
        row("JvXPButtonSearch", "ActionFind", Artwork::ActionIcon::Find);
        row("JvXPButtonSettings", "ActionSettings", Artwork::ActionIcon::Settings);
    }

    void toolButtonsShowTheActionArtwork()
    {
        QFETCH(QString, button);
        QFETCH(QString, actionName);
        QFETCH(QString, picture);
        start();
        auto* tool = main().findChild<QToolButton*>(button);
        QVERIFY(tool);
        QCOMPARE(tool->defaultAction(), main().findChild<QAction*>(actionName));
        QVERIFY(!tool->icon().isNull());
        // The program folder's own picture for the button's size, not a stock
        // icon of the style. Only the pixels count: the reader takes "@2x" in
        // a name for a double density.
        const QImage shown = tool->icon().pixmap(tool->iconSize()).toImage().convertToFormat(QImage::Format_ARGB32);
        QImage drawn = QImage(path("icons/" + picture)).convertToFormat(QImage::Format_ARGB32);
        drawn.setDevicePixelRatio(1);
        QCOMPARE(shown, drawn);
    }

    void captionsComeFromTheLanguageFile()
    {
        QDir(path(".")).mkpath("languages/Deutsch");
        writeFile(path("languages/Deutsch/lang.ini"),
                  "mainmenufile=Datei\r\nMainActionNewGroup=Neue Gruppe\r\nMainMenuMobileVersion=Mobil\r\n");
        writeSettings("language=Deutsch\r\n");
        start();
        // As shown, without the mark of the mnemonic.
        QCOMPARE(main().menuBar()->actions().first()->iconText(), QStringLiteral("Datei"));
        QCOMPARE(actions().newGroup->iconText(), QStringLiteral("Neue Gruppe"));
        QCOMPARE(actions().mobileVersion->iconText(), QStringLiteral("Mobil!"));
        QCOMPARE(actions().newRecord->iconText(), QStringLiteral("New Record"));
    }

    void startupFileAsksItsPasswordBeforeTheWindowShows()
    {
        writeDataFile(dataFile(), "secret");
        bool mainVisibleDuringPrompt = true;
        QTimer::singleShot(0, [&] { mainVisibleDuringPrompt = main().isVisible(); });
        m_fixture->start(dataFile(), {"Secret", "secret"});
        QCOMPARE(m_fixture->promptsAnswered(), 2);
        QVERIFY(!mainVisibleDuringPrompt);
        QVERIFY(main().isVisible());
        QCOMPARE(main().CurrentFileName(), dataFile());
        QCOMPARE(main().CurrentPassword(), QStringLiteral("secret"));
        QCOMPARE(main().treeModel().nodeCount(), 3);
        QVERIFY(actions().changePassword->isEnabled());
        QVERIFY(actions().find->isEnabled());
        QVERIFY(actions().save->isEnabled());
        QVERIFY(!main().Modified());
        QCOMPARE(m_fixture->messages.shown.size(), 1);
        // The window keeps no copy of the password it handed over.
        QVERIFY(m_fixture->program().passwordWindow().password().isEmpty());
    }

    // A password that does not open the file is asked for again.
    void failedStartupFileLeavesTheEmptyDocument_data()
    {
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QStringList>("messages");
        const QString notOpened = "Can't open data file. Make sure you have entered correct password";
        QTest::newRow("cancelled") << QByteArray() << QStringList{""} << QStringList();
        QTest::newRow("wrong password, then cancelled")
            << QByteArray() << QStringList{"wrong", "Secret", ""} << QStringList{notOpened, notOpened};
        QTest::newRow("not a data file") << QByteArray("plain text") << QStringList{"secret"}
                                         << QStringList{"Incorrect file format"};
    }

    void failedStartupFileLeavesTheEmptyDocument()
    {
        QFETCH(QByteArray, fileBytes);
        QFETCH(QStringList, passwords);
        QFETCH(QStringList, messages);
        writeDataFile(dataFile(), "secret");
        if (!fileBytes.isEmpty())
            writeFile(dataFile(), fileBytes);
        m_fixture->start(dataFile(), passwords);
        QCOMPARE(m_fixture->promptsAnswered(), passwords.size());
        QCOMPARE(m_fixture->messages.texts(), messages);
        QVERIFY(main().isVisible());
        QVERIFY(main().CurrentFileName().isEmpty());
        QCOMPARE(main().treeModel().nodeCount(), 0);
        QVERIFY(!actions().changePassword->isEnabled());
    }

    void commandLineComesBeforeTheLastFile()
    {
        writeDataFile(dataFile("last.zv"), "secret");
        writeSettings(("openlast=1\r\nlastfile=" + dataFile("last.zv") + "\r\n").toUtf8());
        // A command-line file that fails does not fall back to the last file.
        QCOMPARE(start(dataFile("missing.zv"), "secret"), 1);
        QVERIFY(main().CurrentFileName().isEmpty());

        QCOMPARE(start(QString(), "secret"), 1);
        QCOMPARE(main().CurrentFileName(), dataFile("last.zv"));
    }

    void relativeStartupFileBecomesAbsolute()
    {
        writeDataFile(dataFile(), "secret");
        const QString startFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path(".")));
        start(QStringLiteral("./private.zv"), "secret");
        QDir::setCurrent(startFolder);
        QCOMPARE(main().CurrentFileName(), QFileInfo(dataFile()).canonicalFilePath());
    }

    void treeShowsRecordsFirstAndSelectionDrivesTheEditor()
    {
        writeDataFile(dataFile(), "secret");
        start(dataFile(), "secret");
        DocumentTreeModel& model = main().treeModel();
        QCOMPARE(model.caption(model.firstNode()), QStringLiteral("Groceries"));
        QCOMPARE(model.caption(model.nextNode(model.firstNode())), QStringLiteral("Web"));
        QVERIFY(!model.data(model.firstNode(), Qt::DecorationRole).value<QIcon>().isNull());

        select("example.org jane");
        QCOMPARE(main().recordEditor().controlList().size(), 6);
        QVERIFY(actions().newField->isEnabled());
        QVERIFY(actions().deleteItem->isEnabled());
        QVERIFY(!main().Modified());

        select("Web");
        QVERIFY(main().recordEditor().isEmpty());
        QVERIFY(!actions().newField->isEnabled());
    }

    void editingAFieldUpdatesDocumentCaptionAndModified()
    {
        writeDataFile(dataFile(), "secret");
        start(dataFile(), "secret");
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        select("example.org jane");
        auto* login = qobject_cast<QLineEdit*>(main().recordEditor().controlList().at(3));
        QVERIFY(login);
        QApplication::setActiveWindow(&main());
        login->setFocus();
        QTRY_VERIFY(login->hasFocus());
        QTest::keyClick(login, Qt::Key_End);
        QTest::keyClicks(login, "t");
        QVERIFY(main().Modified());
        QVERIFY(!actions().deleteItem->isEnabled());
        QVERIFY(node("example.org janet").isValid());
        const pugi::xml_node record = main().XMLDocumentData().root().child("folder").child("record");
        QCOMPARE(qText(record.child("label").next_sibling().next_sibling().text()), QStringLiteral("janet"));
    }

    void keyboardStartsInTheTreeAndTabGoesToTheFirstField()
    {
        writeDataFile(dataFile(), "secret");
        start(dataFile(), "secret");
        QApplication::setActiveWindow(&main());
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QCOMPARE(QApplication::focusWidget(), &main().TreeView());
        // The node the keyboard starts on is the one highlighted.
        QVERIFY(main().TreeView().currentIndex().isValid());
        QCOMPARE(main().TreeView().selectionModel()->selectedIndexes(),
                 QModelIndexList{main().TreeView().currentIndex()});
        select("example.org jane");
        QTRY_VERIFY(main().TreeView().hasFocus());
        QTest::keyClick(&main().TreeView(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), main().recordEditor().controlList().at(1));
    }

    void contextMenuListsAndDeletesFields()
    {
        writeDataFile(dataFile(), "secret");
        start(dataFile(), "secret");
        main().TreeView().expandAll();
        QMenu* deleteField = main().PopupMenuTree().findChild<QMenu*>("DeleteField1");
        const auto rightClick = [this](const QString& caption) {
            QWidget* viewport = main().TreeView().viewport();
            const QPoint pos = main().TreeView().visualRect(node(caption)).center();
            QTest::mousePress(viewport, Qt::RightButton, {}, pos);
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
            QApplication::sendEvent(viewport, &menuEvent);
            QTest::mouseRelease(viewport, Qt::RightButton, {}, pos);
            QVERIFY(main().PopupMenuTree().isVisible());
            main().PopupMenuTree().hide();
        };

        rightClick("example.org jane");
        QCOMPARE(main().TreeView().currentIndex(), node("example.org jane"));
        QVERIFY(deleteField->isEnabled());
        QStringList entries;
        for (QAction* entry : deleteField->actions())
            entries << entry->text();
        QCOMPARE(entries, (QStringList{"URL", "Login", "Since"}));

        deleteField->actions().at(1)->trigger();
        QVERIFY(main().Modified());
        QCOMPARE(main().recordEditor().controlList().size(), 4);
        const pugi::xml_node record = main().XMLDocumentData().root().child("folder").child("record");
        QCOMPARE(Schema::recordFields(record).size(), size_t(2));

        rightClick("Web");
        QVERIFY(!deleteField->isEnabled());
    }

    void trayIconFollowsTheSetting()
    {
        writeSettings("systray=1\r\n");
        start();
        QCOMPARE(m_fixture->tray.calls().count(RecordingTrayShell::Call::Add), 1);
        const quintptr id = main().SysTray().identifier();

        m_fixture->tray.simulate(id, QSystemTrayIcon::Trigger);
        QVERIFY(!main().isVisible());
        m_fixture->tray.simulate(id, QSystemTrayIcon::Trigger);
        QVERIFY(main().isVisible());

        QVERIFY(!main().PopupMenuTray().isVisible());
        m_fixture->tray.simulate(id, QSystemTrayIcon::Context);
        QVERIFY(main().PopupMenuTray().isVisible());
        main().PopupMenuTray().hide();

        main().close();
        QCOMPARE(m_fixture->tray.calls().last(), RecordingTrayShell::Call::Remove);
    }

    void toggleDoesNothingWhileAMessageBoxIsOpen()
    {
        writeSettings("systray=1\r\n");
        start();
        QWidget box;
        box.setWindowTitle("Confirm");
        box.show();
        main().ToggleMainWindow();
        QVERIFY(main().isVisible());
        box.hide();
        main().ToggleMainWindow();
        QVERIFY(!main().isVisible());
    }

    void minimisingHidesToTheTrayOnlyWhenThereIsOne_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::newRow("notification area") << true;
        QTest::newRow("none") << false;
    }

    void minimisingHidesToTheTrayOnlyWhenThereIsOne()
    {
        QFETCH(bool, trayAvailable);
        m_fixture->tray.available = trayAvailable;
        writeSettings("systray=1\r\nhidden=1\r\n");
        start();
        // Started hidden only where the tray can bring it back.
        QCOMPARE(main().isVisible(), !trayAvailable);
        main().show();
        main().showMinimized();
        QTRY_COMPARE(main().isVisible(), !trayAvailable);
        QCOMPARE(main().isMinimized(), !trayAvailable);
    }

    // The icon follows the notification area as it comes and goes, and the
    // window never stays hidden without it.
    void trayIconFollowsTheNotificationArea()
    {
        m_fixture->tray.available = false;
        writeSettings("systray=1\r\n");
        start();
        QCOMPARE(m_fixture->tray.calls().count(RecordingTrayShell::Call::Add), 0);
        m_fixture->tray.available = true;
        QTRY_COMPARE(m_fixture->tray.calls().count(RecordingTrayShell::Call::Add), 1);
        main().showMinimized();
        QTRY_VERIFY(!main().isVisible());
        m_fixture->tray.available = false;
        QTRY_VERIFY(main().isVisible());
        QCOMPARE(m_fixture->tray.calls().last(), RecordingTrayShell::Call::Remove);
    }

    void minimisingWhileADialogIsOpenKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("settings") << "ActionSettings";
        QTest::newRow("find") << "ActionFind";
        QTest::newRow("new group") << "ActionNewGroup";
        QTest::newRow("about") << "About1";
    }

    void minimisingWhileADialogIsOpenKeepsTheWindow()
    {
        QFETCH(QString, command);
        writeDataFile(dataFile(), "secret");
        writeSettings("systray=1\r\n");
        start(dataFile(), "secret");
        QWidget* dialog = nullptr;
        bool windowKept = false;
        QTimer whileOpen;
        whileOpen.setInterval(5);
        connect(&whileOpen, &QTimer::timeout, this, [&] {
            dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            whileOpen.stop();
            main().showMinimized();
            QTest::qWait(50);
            windowKept = main().isVisible() && !main().isMinimized();
            dialog->close();
        });
        whileOpen.start();
        main().findChild<QAction*>(command)->trigger();
        QVERIFY(dialog);
        QVERIFY(windowKept);
    }

    // Fixed borders: the main window with a minimise box, the prompts with a
    // close box only; neither can be resized or maximised.
    void windowsHaveFixedBorders_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("minimiseBox");
        QTest::newRow("main") << "main" << true;
        QTest::newRow("password") << "password" << false;
        QTest::newRow("lock prompt") << "lock" << false;
    }

    void windowsHaveFixedBorders()
    {
        QFETCH(QString, window);
        QFETCH(bool, minimiseBox);
        start();
        QWidget* shown = window == "main"       ? static_cast<QWidget*>(&main())
                         : window == "password" ? &m_fixture->program().passwordWindow()
                                                : &m_fixture->program().lockPrompt();
        shown->show();
        const Qt::WindowFlags flags = shown->windowFlags();
        // Without CustomizeWindowHint X11 gives every window all its boxes.
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(flags.testFlag(Qt::WindowMinimizeButtonHint), minimiseBox);
        QCOMPARE(shown->minimumSize(), shown->maximumSize());
        if (window == "main")
            QCOMPARE(main().centralWidget()->size(), QSize(727, 566));
        shown->hide();
    }

    void aHiddenStartShowsTheWindowCentredLater()
    {
        writeSettings("systray=1\r\nhidden=1\r\n");
        start();
        QVERIFY(!main().isVisible());
        main().ToggleMainWindow();
        QVERIFY(main().isVisible());
        // Centred as far as the window manager's frame, unknown before showing, allows.
        const QPoint offCentre = main().geometry().center() - main().screen()->availableGeometry().center();
        const int frame = main().frameGeometry().width() - main().width();
        QVERIFY2(qAbs(offCentre.x()) <= frame && qAbs(offCentre.y()) <= frame, qPrintable(QDebug::toString(offCentre)));
    }

    void closingStoresTheSettings()
    {
        writeDataFile(dataFile(), "secret");
        writeSettings("Systray=0\r\nunknown=kept?\r\nopenlast=1\r\nautoblocking=1\r\nblockingtime=5\r\n");
        start(dataFile(), "secret");
        main().close();
        m_fixture->program().finish();
        const QByteArray expected = "language=English\r\nsystray=0\r\nhidden=0\r\nassotiate=0\r\nopenlast=1\r\n"
                                    "autosave=0\r\nbackups=0\r\nautoblocking=1\r\nblockingtime=5\r\nlastfile="
                                    + dataFile().toUtf8() + "\r\n";
        QCOMPARE(readFile(path("zantrove.ini")), expected);
    }

    void helpLinksOpenOrSayWhyNot_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("manualThere");
        QTest::addColumn<bool>("handled"); // the desktop has a program for it
        QTest::addColumn<QString>("told"); // %1: the manual's path
        QTest::newRow("manual") << "Manual1" << true << true << QString();
        QTest::newRow("manual missing") << "Manual1" << false << true << "Manual.pdf not found";
        QTest::newRow("no viewer") << "Manual1" << true << false << "No program on this computer is set up to show %1";
        QTest::newRow("web site") << "Getmobileversion1" << false << true << QString();
        QTest::newRow("no browser") << "Getmobileversion1" << false << false
                                    << "No web browser on this computer is set up to open https://zantrove.org/";
    }

    void helpLinksOpenOrSayWhyNot()
    {
        QFETCH(QString, command);
        QFETCH(bool, manualThere);
        QFETCH(bool, handled);
        QFETCH(QString, told);
        start();
        if (manualThere)
            writeFile(path("manual.pdf"), "%PDF");
        m_fixture->launcher.result = handled;
        main().findChild<QAction*>(command)->trigger();
        QCOMPARE(m_fixture->messages.texts(),
                 told.isEmpty() ? QStringList() : QStringList{told.arg(path("manual.pdf"))});
        QCOMPARE(m_fixture->launcher.openedUrls.size(), int(told != "Manual.pdf not found"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_formmain.moc"
