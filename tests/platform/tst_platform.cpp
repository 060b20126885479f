#include "config/CaptionTable.h"
#include "config/MessageBoxTitles.h"
#include "platform/ui/DesktopLauncher.h"
#include "platform/ui/QtMessageService.h"
#include "platform/ui/TrayShell.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(MessageService::Kind)
Q_DECLARE_METATYPE(MessageService::Buttons)
Q_DECLARE_METATYPE(MessageService::Answer)

namespace {

// Runs act on the modal widget above previous as soon as it is shown, from
// inside the modal loop that shows it.
void onNextModal(std::function<void(QWidget*)> act, QWidget* previous = nullptr)
{
    QTimer::singleShot(10, [act, previous] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != previous)
            act(modal);
        else
            onNextModal(act, previous);
    });
}

const QString zvFilter = QStringLiteral("ZV Files (*.zv)");
const QStringList dataFilters = {zvFilter, QStringLiteral("Protected (*.zvx)")};

// Types file into the name box of the dialog opened on folder and accepts, as
// a user would with the OK button. (QFileDialog::selectFile leaves the name box
// alone while it has the focus, which depends on when the window got active.)
void choose(QFileDialog* dialog, const QString& folder, const QString& file)
{
    dialog->setDirectory(folder);
    auto* nameBox = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!nameBox) {
        dialog->close();
        return;
    }
    nameBox->setText(file);
    static_cast<QDialog*>(dialog)->accept();
}

// Receives the addresses that QDesktopServices hands to a registered scheme.
class UrlReceiver : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void messageBox_data();
    void messageBox();
    void openFileDialog();
    void cancelledFileDialogGivesNothing();
    void saveFileDialogAddsSuffixOfChosenType_data();
    void saveFileDialogAddsSuffixOfChosenType();
    void saveFileDialogConfirmsOverwrite_data();
    void saveFileDialogConfirmsOverwrite();
    void fileDialogsStartAtTheFileOrTheLastFolder();

    void desktopLauncherUsesDefaultHandler();

    void trayShellShowsAddedIcon();
    void trayShellIgnoresOtherIdentifier();
    void trayShellTipShowsAsWritten();
    void trayShellActivation_data();
    void trayShellActivation();
    void trayShellSilentOnceRemoved();
};

void TestPlatform::messageBox_data()
{
    QTest::addColumn<MessageService::Kind>("kind");
    QTest::addColumn<MessageService::Buttons>("buttons");
    QTest::addColumn<int>("press"); // a standard button; Escape when NoButton, Return when Default
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("shownButtons");
    QTest::addColumn<MessageService::Answer>("answer");

    using K = MessageService::Kind;
    using B = MessageService::Buttons;
    using A = MessageService::Answer;
    const int ok = QMessageBox::Ok;
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int yesNoCancel = yesNo | QMessageBox::Cancel;
    const int escape = QMessageBox::NoButton;
    const int enter = QMessageBox::Default;

    QTest::newRow("error ok") << K::Error << B::Ok << ok << "Error" << int(QMessageBox::Critical) << ok << A::Ok;
    QTest::newRow("error escape") << K::Error << B::Ok << escape << "Error" << int(QMessageBox::Critical) << ok
                                  << A::Ok;
    QTest::newRow("information ok") << K::Information << B::Ok << ok << "Information" << int(QMessageBox::Information)
                                    << ok << A::Ok;
    QTest::newRow("confirm yes") << K::Confirm << B::YesNo << int(QMessageBox::Yes) << "Confirm"
                                 << int(QMessageBox::Question) << yesNo << A::Yes;
    QTest::newRow("confirm no") << K::Confirm << B::YesNo << int(QMessageBox::No) << "Confirm"
                                << int(QMessageBox::Question) << yesNo << A::No;
    QTest::newRow("confirm escape is no")
        << K::Confirm << B::YesNo << escape << "Confirm" << int(QMessageBox::Question) << yesNo << A::No;
    QTest::newRow("warning yes") << K::Warning << B::YesNoCancel << int(QMessageBox::Yes) << "Warning"
                                 << int(QMessageBox::Warning) << yesNoCancel << A::Yes;
    QTest::newRow("warning no") << K::Warning << B::YesNoCancel << int(QMessageBox::No) << "Warning"
                                << int(QMessageBox::Warning) << yesNoCancel << A::No;
    QTest::newRow("warning cancel") << K::Warning << B::YesNoCancel << int(QMessageBox::Cancel) << "Warning"
                                    << int(QMessageBox::Warning) << yesNoCancel << A::Cancel;
    QTest::newRow("warning escape is cancel")
        << K::Warning << B::YesNoCancel << escape << "Warning" << int(QMessageBox::Warning) << yesNoCancel << A::Cancel;
    // Enter takes the usual answer of a question, and the cautious one of a warning.
    QTest::newRow("confirm enter is yes")
        << K::Confirm << B::YesNo << enter << "Confirm" << int(QMessageBox::Question) << yesNo << A::Yes;
    QTest::newRow("warning enter is no") << K::Warning << B::YesNo << enter << "Warning" << int(QMessageBox::Warning)
                                         << yesNo << A::No;
}

void TestPlatform::messageBox()
{
    QFETCH(MessageService::Kind, kind);
    QFETCH(MessageService::Buttons, buttons);
    QFETCH(int, press);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(int, shownButtons);
    QFETCH(MessageService::Answer, answer);

    QWidget parent;
    parent.show();
    QtMessageService service;
    service.setParentWidget(&parent);
    const CaptionTable english;
    service.setTitles([&english](MessageService::Kind kind) { return MessageBoxTitles::title(english, kind); });

    // Markup in a message must show as typed.
    const QString text = QStringLiteral("File <b>a.zv</b> not saved");
    QString shownTitle;
    QString shownText;
    int shownIcon = -1;
    int shownButtonSet = -1;
    QWidget* shownParent = nullptr;
    onNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        shownTitle = box->windowTitle();
        shownText = box->textFormat() == Qt::PlainText ? box->text() : QString();
        shownIcon = box->icon();
        shownButtonSet = int(box->standardButtons());
        shownParent = box->parentWidget();
        if (press == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else if (press == QMessageBox::Default)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(box->button(QMessageBox::StandardButton(press)), Qt::LeftButton);
    });

    QCOMPARE(service.show(kind, text, buttons), answer);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownText, text);
    QCOMPARE(shownIcon, icon);
    QCOMPARE(shownButtonSet, shownButtons);
    QCOMPARE(shownParent, &parent);
}

void TestPlatform::openFileDialog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.zv");
    TestSupport::writeFile(path, "x");
    QWidget parent;
    QtMessageService service;
    service.setParentWidget(&parent);

    QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    QStringList filters;
    QString suffix;
    QString title;
    QWidget* shownParent = nullptr;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        mode = dialog->acceptMode();
        fileMode = dialog->fileMode();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        title = dialog->windowTitle();
        shownParent = dialog->parentWidget();
        choose(dialog, dir.path(), path);
    });

    QCOMPARE(service.openFileName("Import", zvFilter, "zv", QString()), path);
    QCOMPARE(title, QString("Import"));
    QCOMPARE(mode, QFileDialog::AcceptOpen);
    QCOMPARE(fileMode, QFileDialog::ExistingFile);
    QCOMPARE(filters, QStringList{zvFilter});
    QCOMPARE(suffix, QString("zv"));
    QCOMPARE(shownParent, &parent);
}

void TestPlatform::cancelledFileDialogGivesNothing()
{
    QtMessageService service;
    onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QVERIFY(service.openFileName(QString(), zvFilter, "zv", QString()).isNull());
    onNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    int selected = 1;
    QVERIFY(service.saveFileName(QString(), dataFilters, selected, QString(), {}).isNull());
    QCOMPARE(selected, 1);
}

void TestPlatform::saveFileDialogAddsSuffixOfChosenType_data()
{
    QTest::addColumn<int>("preselected");
    QTest::addColumn<bool>("switchType");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<int>("expectedType");
    QTest::newRow("first type") << 0 << false << "fresh"
                                << "fresh.zv" << 0;
    QTest::newRow("second type preselected") << 1 << false << "fresh"
                                             << "fresh.zvx" << 1;
    QTest::newRow("type switched in the dialog") << 0 << true << "fresh"
                                                 << "fresh.zvx" << 1;
    QTest::newRow("extension typed is kept") << 1 << false << "fresh.dat"
                                             << "fresh.dat" << 1;
    QTest::newRow("another type's extension typed") << 1 << false << "fresh.ZV"
                                                    << "fresh.ZV" << 0;
}

void TestPlatform::saveFileDialogAddsSuffixOfChosenType()
{
    QFETCH(int, preselected);
    QFETCH(bool, switchType);
    QFETCH(QString, typed);
    QFETCH(QString, expectedName);
    QFETCH(int, expectedType);
    QTemporaryDir dir;
    QtMessageService service;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* types = modal->findChild<QComboBox*>("fileTypeCombo");
        if (!dialog || !types) {
            modal->close();
            return;
        }
        mode = dialog->acceptMode();
        if (switchType)
            QTest::keyClick(types, Qt::Key_Down);
        choose(dialog, dir.path(), typed);
    });

    int selected = preselected;
    QCOMPARE(service.saveFileName(QString(), dataFilters, selected, QString(), {}), dir.filePath(expectedName));
    QCOMPARE(selected, expectedType);
    QCOMPARE(mode, QFileDialog::AcceptSave);
}

void TestPlatform::saveFileDialogConfirmsOverwrite_data()
{
    QTest::addColumn<bool>("refused");
    QTest::newRow("asks before replacing") << false;
    // In the dialog, which stays open for another name, and before any question.
    QTest::newRow("a refused name") << true;
}

void TestPlatform::saveFileDialogConfirmsOverwrite()
{
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath("keys.zv");
    TestSupport::writeFile(path, "x");
    QtMessageService service;
    const CaptionTable english;
    service.setTitles([&english](MessageService::Kind kind) { return MessageBoxTitles::title(english, kind); });

    QString shown;
    bool stayedOpen = false;
    onNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        onNextModal(
            [&, dialog](QWidget* question) {
                auto* box = qobject_cast<QMessageBox*>(question);
                shown = box ? box->windowTitle() + ": " + box->text() : QString();
                if (box && !refused) {
                    box->button(QMessageBox::Yes)->click();
                    return;
                }
                question->close();
                QTimer::singleShot(0, dialog, [&stayedOpen, dialog] {
                    stayedOpen = dialog->isVisible();
                    dialog->reject();
                });
            },
            dialog);
        choose(dialog, dir.path(), path);
    });

    int selected = 0;
    const auto refusal = [&](const QString& chosen) { return refused && chosen == path ? "refused" : QString(); };
    QCOMPARE(service.saveFileName(QString(), dataFilters, selected, QString(), refusal), refused ? QString() : path);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown == "Error: refused", refused);
    QCOMPARE(stayedOpen, refused);
}

// At the file given, with its name filled in; else where the last file was
// chosen, and before any in the home folder.
void TestPlatform::fileDialogsStartAtTheFileOrTheLastFolder()
{
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("keys.zv"), "x");
    QtMessageService service;
    QStringList starts;
    const auto noteStart = [&starts](QWidget* modal) {
        starts << static_cast<QFileDialog*>(modal)->directory().absolutePath() + "|"
                      + modal->findChild<QLineEdit*>("fileNameEdit")->text();
        modal->close();
    };
    for (const QString& start : {QString(), dir.filePath("keys.zv")}) {
        onNextModal(noteStart);
        service.openFileName(QString(), zvFilter, "zv", start);
    }
    onNextModal([&](QWidget* modal) { choose(static_cast<QFileDialog*>(modal), dir.path(), "keys.zv"); });
    QCOMPARE(service.openFileName(QString(), zvFilter, "zv", QDir::homePath()), dir.filePath("keys.zv"));
    onNextModal(noteStart);
    service.openFileName(QString(), zvFilter, "zv", QString());
    QCOMPARE(starts, (QStringList{QDir::homePath() + "|", dir.path() + "|keys.zv", dir.path() + "|"}));
}

void TestPlatform::desktopLauncherUsesDefaultHandler()
{
    UrlReceiver receiver;
    QDesktopServices::setUrlHandler("zvtest", &receiver, "open");
    QtDesktopLauncher launcher;
    const QUrl url("zvtest://example/manual.pdf");
    const bool opened = launcher.openUrl(url);
    QDesktopServices::unsetUrlHandler("zvtest");
    QVERIFY(opened);
    QCOMPARE(receiver.urls, QList<QUrl>{url});
}

namespace {

QIcon filledIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

QSystemTrayIcon* trayIconOf(QtTrayShell& shell)
{
    return shell.findChild<QSystemTrayIcon*>();
}

} // namespace

void TestPlatform::trayShellShowsAddedIcon()
{
    QtTrayShell shell;
    QSystemTrayIcon* icon = trayIconOf(shell);
    QVERIFY(icon);
    QVERIFY(!icon->isVisible());

    const QIcon red = filledIcon(Qt::red);
    QVERIFY(shell.add(7, red, "Zantrove"));
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->toolTip(), QString("Zantrove"));
    QCOMPARE(icon->icon().cacheKey(), red.cacheKey());
    // The tray component opens its own menu.
    QCOMPARE(icon->contextMenu(), nullptr);

    const QIcon green = filledIcon(Qt::green);
    QVERIFY(shell.modify(7, green, "Locked"));
    QCOMPARE(icon->toolTip(), QString("Locked"));
    QCOMPARE(icon->icon().cacheKey(), green.cacheKey());

    QVERIFY(shell.remove(7));
    QVERIFY(!icon->isVisible());
}

void TestPlatform::trayShellIgnoresOtherIdentifier()
{
    QtTrayShell shell;
    QSystemTrayIcon* icon = trayIconOf(shell);
    QVERIFY(!shell.modify(7, filledIcon(Qt::red), "before the add"));
    QVERIFY(!shell.remove(7));

    QVERIFY(shell.add(7, filledIcon(Qt::red), "Zantrove"));
    QVERIFY(!shell.modify(8, filledIcon(Qt::green), "other"));
    QCOMPARE(icon->toolTip(), QString("Zantrove"));
    QVERIFY(!shell.remove(8));
    QVERIFY(icon->isVisible());
}

// A status notifier host is given the tip as it is; the window in which Qt
// docks the icon itself shows a tooltip as markup when it looks like markup.
void TestPlatform::trayShellTipShowsAsWritten()
{
    QWidget docked(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    docked.setObjectName(QtTrayShell::DockedIconWindowName);
    QtTrayShell shell;
    const QString tip = "Zantrove 1.1 \u2014 <b>big</b> <img src=\"/tmp/x.png\">  .zv\nClipboard clears in 9 s";
    QVERIFY(shell.add(7, filledIcon(Qt::red), tip));
    QCOMPARE(trayIconOf(shell)->toolTip(), tip);
    QTextDocument shown;
    shown.setHtml(docked.toolTip());
    QCOMPARE(shown.toPlainText(), tip);
}

void TestPlatform::trayShellActivation_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<QList<int>>("passedOn");

    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << QList<int>{QSystemTrayIcon::Trigger};
    QTest::newRow("double-click") << int(QSystemTrayIcon::DoubleClick) << QList<int>{QSystemTrayIcon::DoubleClick};
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << QList<int>{QSystemTrayIcon::Context};
    QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << QList<int>{QSystemTrayIcon::MiddleClick};
    QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << QList<int>{};
}

void TestPlatform::trayShellActivation()
{
    QFETCH(int, reason);
    QFETCH(QList<int>, passedOn);
    QtTrayShell shell;
    QVERIFY(shell.add(42, filledIcon(Qt::red), QString()));
    QSignalSpy activations(&shell, &TrayShell::activated);

    emit trayIconOf(shell)->activated(QSystemTrayIcon::ActivationReason(reason));

    QList<int> seen;
    for (const QList<QVariant>& arguments : activations) {
        QCOMPARE(arguments[0].value<quintptr>(), quintptr(42));
        seen.append(int(arguments[1].value<QSystemTrayIcon::ActivationReason>()));
    }
    QCOMPARE(seen, passedOn);
}

void TestPlatform::trayShellSilentOnceRemoved()
{
    QtTrayShell shell;
    QSignalSpy activations(&shell, &TrayShell::activated);
    emit trayIconOf(shell)->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(activations.count(), 0);

    QVERIFY(shell.add(42, filledIcon(Qt::red), QString()));
    QVERIFY(shell.remove(42));
    emit trayIconOf(shell)->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(activations.count(), 0);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
