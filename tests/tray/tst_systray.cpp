#include "tray/ui/SysTray.h"

#include "support/RecordingTrayShell.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

using Call = RecordingTrayShell::Call;

namespace {

QIcon filledIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// The component's signals in the order they were raised, as short words.
class EventLog : public QObject {
public:
    explicit EventLog(TSysTray& tray)
    {
        connect(&tray, &TSysTray::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) { events << reasonName(reason); });
        connect(&tray, &TSysTray::popupRequested, this, [this] { events << "popup"; });
    }

    QStringList events;

private:
    static QString reasonName(QSystemTrayIcon::ActivationReason reason)
    {
        switch (reason) {
        case QSystemTrayIcon::Trigger: return "trigger";
        case QSystemTrayIcon::DoubleClick: return "double-click";
        case QSystemTrayIcon::Context: return "context";
        case QSystemTrayIcon::MiddleClick: return "middle-click";
        case QSystemTrayIcon::Unknown: break;
        }
        return "unknown";
    }
};

} // namespace

class TestSysTray : public QObject {
    Q_OBJECT

private slots:
    void init();

    void showingTwiceAddsOnce();
    void hidingWhenHiddenSendsNothing();
    void refusedAddKeepsVisible();
    void addCarriesCurrentIconAndHint();
    void hintIsCut_data();
    void hintIsCut();
    void unchangedHintSendsNothing();
    void emptyIconShowsApplicationIcon();
    void destructionRemovesShownIcon();
    void destructionAfterShellIsGone();
    void inertShellGetsNoShowHideOrHint();
    void iconFollowsTheNotificationArea();

    void activations_data();
    void activations();
    void otherIdentifierIsIgnored();
    void contextClickPopsUpMenu();
    void destroyedPopupMenuIsForgotten();
};

void TestSysTray::init()
{
    QApplication::setWindowIcon(filledIcon(Qt::blue));
}

void TestSysTray::showingTwiceAddsOnce()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    tray.setVisible(true);
    tray.setVisible(true);
    QCOMPARE(shell.calls(), QList<Call>{Call::Add});
    QCOMPARE(shell.requests[0].id, tray.identifier());
    QVERIFY(tray.Visible());

    tray.setVisible(false);
    tray.setVisible(false);
    QCOMPARE(shell.calls(), (QList<Call>{Call::Add, Call::Remove}));
    QCOMPARE(shell.requests[1].id, tray.identifier());
    QVERIFY(!tray.Visible());
}

void TestSysTray::hidingWhenHiddenSendsNothing()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    tray.setVisible(false);
    QVERIFY(shell.requests.isEmpty());
}

void TestSysTray::refusedAddKeepsVisible()
{
    RecordingTrayShell shell;
    shell.result = false;
    TSysTray tray(shell, nullptr);
    tray.setVisible(true);
    QVERIFY(tray.Visible());
    tray.setVisible(true);
    QCOMPARE(shell.calls(), QList<Call>{Call::Add});
}

void TestSysTray::addCarriesCurrentIconAndHint()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    const QIcon own = filledIcon(Qt::red);
    tray.setIcon(own);
    tray.setHint("Zantrove");
    shell.requests.clear();

    tray.setVisible(true);
    QCOMPARE(shell.calls(), QList<Call>{Call::Add});
    QCOMPARE(shell.requests[0].icon.cacheKey(), own.cacheKey());
    QCOMPARE(shell.requests[0].tip, QString("Zantrove"));
}

void TestSysTray::hintIsCut_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("kept");

    const QString seventy = QString("0123456789").repeated(7);
    QTest::newRow("70 characters") << seventy << seventy.left(63);
    QTest::newRow("exactly 63") << seventy.left(63) << seventy.left(63);
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // one character, two UTF-16 units
    QTest::newRow("pair across the limit") << seventy.left(62) + clef + "x" << seventy.left(62);
    QTest::newRow("pair inside the limit") << seventy.left(61) + clef + "x" << seventy.left(61) + clef;
}

void TestSysTray::hintIsCut()
{
    QFETCH(QString, hint);
    QFETCH(QString, kept);
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    tray.setHint(hint);
    QCOMPARE(tray.Hint(), kept);
    QCOMPARE(shell.calls(), QList<Call>{Call::Modify});
    QCOMPARE(shell.requests[0].tip, kept);
}

void TestSysTray::unchangedHintSendsNothing()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    tray.setHint("");
    QVERIFY(shell.requests.isEmpty());

    tray.setHint("Zantrove");
    tray.setHint("Zantrove");
    QCOMPARE(shell.calls(), QList<Call>{Call::Modify});

    // A long hint set again equals what was kept of it the first time.
    const QString seventy(70, 'h');
    tray.setHint(seventy);
    tray.setHint(seventy);
    QCOMPARE(shell.calls(), (QList<Call>{Call::Modify, Call::Modify}));
}

void TestSysTray::emptyIconShowsApplicationIcon()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    const qint64 applicationIcon = QApplication::windowIcon().cacheKey();
    QCOMPARE(tray.activeIcon().cacheKey(), applicationIcon);
    tray.setVisible(true);
    QCOMPARE(shell.requests.last().icon.cacheKey(), applicationIcon);

    const QIcon own = filledIcon(Qt::red);
    tray.setIcon(own);
    QCOMPARE(shell.calls().last(), Call::Modify);
    QCOMPARE(shell.requests.last().icon.cacheKey(), own.cacheKey());

    tray.setIcon(QIcon());
    QCOMPARE(shell.calls().last(), Call::Modify);
    QCOMPARE(shell.requests.last().icon.cacheKey(), applicationIcon);
}

void TestSysTray::destructionRemovesShownIcon()
{
    RecordingTrayShell shell;
    quintptr id = 0;
    {
        TSysTray hidden(shell, nullptr);
    }
    QVERIFY(shell.requests.isEmpty());
    {
        TSysTray shown(shell, nullptr);
        id = shown.identifier();
        shown.setVisible(true);
    }
    QCOMPARE(shell.calls(), (QList<Call>{Call::Add, Call::Remove}));
    QCOMPARE(shell.requests.last().id, id);
}

void TestSysTray::destructionAfterShellIsGone()
{
    // Both children of one owner, the shell created first and so destroyed first.
    auto* owner = new QObject;
    auto* shell = new RecordingTrayShell;
    shell->setParent(owner);
    auto* tray = new TSysTray(*shell, owner);
    tray->setVisible(true);
    QSignalSpy trayDestroyed(tray, &QObject::destroyed);
    delete owner;
    QCOMPARE(trayDestroyed.count(), 1);
}

void TestSysTray::inertShellGetsNoShowHideOrHint()
{
    RecordingTrayShell shell(false);
    {
        TSysTray tray(shell, nullptr);
        tray.setVisible(true);
        QVERIFY(tray.Visible());
        tray.setHint("Zantrove");
        QCOMPARE(tray.Hint(), QString("Zantrove"));
        tray.setVisible(false);
        tray.setVisible(true);
    }
    QVERIFY(shell.requests.isEmpty());
}

void TestSysTray::iconFollowsTheNotificationArea()
{
    RecordingTrayShell shell(false);
    TSysTray tray(shell, nullptr);
    tray.setShellWatchInterval(std::chrono::milliseconds(10));
    tray.setVisible(true);
    QVERIFY(!tray.shown());
    shell.available = true;
    QTRY_COMPARE(shell.calls(), QList<Call>{Call::Add});
    QVERIFY(tray.shown());
    shell.available = false;
    QTRY_COMPARE(shell.calls(), (QList<Call>{Call::Add, Call::Remove}));
    QVERIFY(!tray.shown());
}

void TestSysTray::activations_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << QStringList{"trigger"};
    QTest::newRow("double-click") << int(QSystemTrayIcon::DoubleClick) << QStringList{"double-click"};
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << QStringList{"context"};
    QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << QStringList{"middle-click"};
}

void TestSysTray::activations()
{
    QFETCH(int, reason);
    QFETCH(QStringList, events);
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    EventLog log(tray);
    shell.simulate(tray.identifier(), QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(log.events, events);
    QVERIFY(shell.requests.isEmpty());
}

void TestSysTray::otherIdentifierIsIgnored()
{
    RecordingTrayShell shell;
    TSysTray first(shell, nullptr);
    TSysTray second(shell, nullptr);
    EventLog firstLog(first);
    EventLog secondLog(second);
    shell.simulate(second.identifier(), QSystemTrayIcon::Trigger);
    QVERIFY(firstLog.events.isEmpty());
    QCOMPARE(secondLog.events, QStringList{"trigger"});
    shell.simulate(0, QSystemTrayIcon::Trigger);
    QCOMPARE(firstLog.events.size() + secondLog.events.size(), 1);
}

void TestSysTray::contextClickPopsUpMenu()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    QMenu menu;
    menu.addAction("Show/Hide");
    tray.setPopupMenu(&menu);
    QCOMPARE(tray.PopupMenu(), &menu);
    EventLog log(tray);
    QSignalSpy popups(&tray, &TSysTray::popupRequested);

    QCursor::setPos(40, 30);
    shell.simulate(tray.identifier(), QSystemTrayIcon::Context);
    QCOMPARE(log.events, (QStringList{"popup", "context"}));
    QCOMPARE(popups.count(), 1);
    QCOMPARE(popups[0][0].value<QMenu*>(), &menu);
    QCOMPARE(popups[0][1].toPoint(), QCursor::pos());
    QVERIFY(menu.isVisible());
    menu.close();
    QVERIFY(!menu.isVisible());

    // Only the context click opens it.
    shell.simulate(tray.identifier(), QSystemTrayIcon::Trigger);
    QCOMPARE(popups.count(), 1);
    QVERIFY(!menu.isVisible());
}

void TestSysTray::destroyedPopupMenuIsForgotten()
{
    RecordingTrayShell shell;
    TSysTray tray(shell, nullptr);
    auto* menu = new QMenu;
    menu->addAction("Exit");
    tray.setPopupMenu(menu);
    delete menu;
    QCOMPARE(tray.PopupMenu(), nullptr);

    EventLog log(tray);
    shell.simulate(tray.identifier(), QSystemTrayIcon::Context);
    QCOMPARE(log.events, QStringList{"context"});
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

QTEST_MAIN(TestSysTray)
#include "tst_systray.moc"
