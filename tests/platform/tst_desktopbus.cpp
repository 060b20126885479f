#include "platform/BusIdleTime.h"
#include "platform/SessionEvents.h"

#include "support/PrivateBus.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

#include <poll.h>
#include <unistd.h>

namespace {

const QString OwnSession = QStringLiteral("/org/freedesktop/login1/session/_3");

// The parts of the desktop's services the program asks. The idle-time ones
// answer from a thread of their own, as the program waits for the answer.
class FakeLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSession(const QString&) { return QDBusObjectPath(OwnSession); }
    // A delay lock is held while the write end of a pipe stays open.
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&, const QString& mode)
    {
        int ends[2];
        if (what != "sleep" || mode != "delay" || pipe(ends) != 0)
            return {};
        delays.append(ends[0]);
        const QDBusUnixFileDescriptor writeEnd(ends[1]);
        close(ends[1]);
        return writeEnd;
    }

public:
    ~FakeLoginManager()
    {
        for (int readEnd : std::as_const(delays))
            close(readEnd);
    }
    // Whether the newest delay lock is still held.
    bool delaying() const
    {
        pollfd readEnd{delays.isEmpty() ? -1 : delays.constLast(), POLLIN, 0};
        return !delays.isEmpty() && poll(&readEnd, 1, 0) == 0;
    }
    QList<int> delays;
};

class FakeIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public slots:
    quint64 GetIdletime() { return 4321; }
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint GetSessionIdleTime() { return 7; }
};

QDBusMessage screenSaverStarts()
{
    QDBusMessage message =
        QDBusMessage::createSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged");
    return message << true;
}

} // namespace

// One private bus stands for the session and the system bus alike.
class TestDesktopBus : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->started(), "dbus-daemon is needed (scripts/install-dependencies.sh)");
    }

    void cleanup() { m_bus.reset(); }

    void busSignalsBecomeSessionEvents_data()
    {
        QTest::addColumn<bool>("fromLogind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<int>("screenLocks");
        QTest::addColumn<int>("sleeps");
        QTest::newRow("screen saver starts") << false << "/org/freedesktop/ScreenSaver"
                                             << "ActiveChanged" << QVariantList{true} << 1 << 0;
        QTest::newRow("screen saver ends") << false << "/org/freedesktop/ScreenSaver"
                                           << "ActiveChanged" << QVariantList{false} << 0 << 0;
        QTest::newRow("GNOME Shell locks") << false << "/org/gnome/ScreenSaver"
                                           << "ActiveChanged" << QVariantList{true} << 1 << 0;
        QTest::newRow("going to sleep") << true << "/org/freedesktop/login1"
                                        << "PrepareForSleep" << QVariantList{true} << 0 << 1;
        QTest::newRow("waking up") << true << "/org/freedesktop/login1"
                                   << "PrepareForSleep" << QVariantList{false} << 0 << 0;
        QTest::newRow("sleep told by another") << false << "/org/freedesktop/login1"
                                               << "PrepareForSleep" << QVariantList{true} << 0 << 0;
        QTest::newRow("own session locked") << true << OwnSession << "Lock" << QVariantList() << 1 << 0;
        QTest::newRow("another session locked") << true << "/org/freedesktop/login1/session/_7"
                                                << "Lock" << QVariantList() << 0 << 0;
    }

    void busSignalsBecomeSessionEvents()
    {
        QFETCH(bool, fromLogind);
        QFETCH(QString, path);
        QFETCH(QString, member);
        QFETCH(QVariantList, arguments);
        QFETCH(int, screenLocks);
        QFETCH(int, sleeps);
        QDBusConnection login = m_bus->connect("login");
        FakeLoginManager manager;
        QVERIFY(login.registerService("org.freedesktop.login1"));
        QVERIFY(login.registerObject("/org/freedesktop/login1", &manager, QDBusConnection::ExportAllSlots));
        const QDBusConnection program = m_bus->connect("program");
        BusSessionEvents events(program, program);
        QSignalSpy locked(&events, &SessionEvents::screenLocked);
        QSignalSpy sleeping(&events, &SessionEvents::sleeping);
        // Its Lock is listened to once the answer naming the own session is
        // in, and the call's watcher gone.
        QTRY_VERIFY(events.findChildren<QDBusPendingCallWatcher*>().isEmpty());
        PrivateBus::flush(program);

        const QMap<QString, QString> interfaces = {{"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
                                                   {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
                                                   {"/org/freedesktop/login1", "org.freedesktop.login1.Manager"}};
        QDBusMessage tested =
            QDBusMessage::createSignal(path, interfaces.value(path, "org.freedesktop.login1.Session"), member);
        tested.setArguments(arguments);
        const QDBusConnection sender = fromLogind ? login : m_bus->connect("stranger");
        // A screen lock that is surely heard follows: once it has arrived, so
        // has the signal sent before it.
        QVERIFY(sender.send(tested) && sender.send(screenSaverStarts()));
        QTRY_COMPARE(locked.count(), screenLocks + 1);
        QCOMPARE(sleeping.count(), sleeps);
    }

    // logind waits for the program before sleeping until the lock has begun,
    // and again for the next sleep once the computer is awake.
    void sleepWaitsForTheLockToBegin()
    {
        QDBusConnection login = m_bus->connect("login");
        FakeLoginManager manager;
        QVERIFY(login.registerService("org.freedesktop.login1"));
        QVERIFY(login.registerObject("/org/freedesktop/login1", &manager, QDBusConnection::ExportAllSlots));
        BusSessionEvents events(QDBusConnection(QString()), m_bus->connect("program"));
        QTRY_VERIFY(manager.delaying());
        bool delayingAtTheLock = false;
        connect(&events, &SessionEvents::sleeping, this, [&] {
            QMetaObject::invokeMethod(
                this, [&] { delayingAtTheLock = manager.delaying(); }, Qt::QueuedConnection);
        });
        for (bool goingToSleep : {true, false}) {
            QDBusMessage sleep = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                            "PrepareForSleep");
            QVERIFY(login.send(sleep << goingToSleep));
            QTRY_COMPARE(manager.delaying(), !goingToSleep);
        }
        QVERIFY(delayingAtTheLock);
        QCOMPARE(manager.delays.size(), 2);
    }

    void withoutBusesNoEventsAndNoHarm()
    {
        const QDBusConnection none(QStringLiteral("not connected"));
        BusSessionEvents events(none, none);
        QSignalSpy locked(&events, &SessionEvents::screenLocked);
        QCoreApplication::processEvents();
        QCOMPARE(locked.count(), 0);
        QVERIFY(!BusIdleTime::open(none));
    }

    void idleTimeIsAskedOfTheDesktopEachTime_data()
    {
        QTest::addColumn<bool>("idleMonitor");
        QTest::addColumn<bool>("screenSaver");
        QTest::addColumn<quint32>("expected"); // 0: no source
        QTest::newRow("GNOME's idle monitor") << true << false << 4321u;
        QTest::newRow("freedesktop screen saver, in seconds") << false << true << 7000u;
        QTest::newRow("both: GNOME's first") << true << true << 4321u;
        QTest::newRow("neither") << false << false << 0u;
    }

    void idleTimeIsAskedOfTheDesktopEachTime()
    {
        QFETCH(bool, idleMonitor);
        QFETCH(bool, screenSaver);
        QFETCH(quint32, expected);
        QThread serviceThread;
        FakeIdleMonitor monitor;
        FakeScreenSaver saver;
        monitor.moveToThread(&serviceThread);
        saver.moveToThread(&serviceThread);
        serviceThread.start();
        const auto stopService = qScopeGuard([&serviceThread] {
            serviceThread.quit();
            serviceThread.wait();
        });
        QDBusConnection desktop = m_bus->connect("desktop");
        if (idleMonitor)
            QVERIFY(desktop.registerService("org.gnome.Mutter.IdleMonitor")
                    && desktop.registerObject("/org/gnome/Mutter/IdleMonitor/Core", &monitor,
                                              QDBusConnection::ExportAllSlots));
        if (screenSaver)
            QVERIFY(desktop.registerService("org.freedesktop.ScreenSaver")
                    && desktop.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots));

        const std::unique_ptr<IdleTimeSource> source = BusIdleTime::open(m_bus->connect("program"));
        QCOMPARE(source != nullptr, expected != 0);
        if (source) {
            QCOMPARE(source->IdleMilliseconds(), expected);
            // Asked each time, and a desktop that stops answering counts as
            // fresh input: nobody is locked out.
            desktop.unregisterObject("/org/gnome/Mutter/IdleMonitor/Core");
            desktop.unregisterObject("/org/freedesktop/ScreenSaver");
            QCOMPARE(source->IdleMilliseconds(), 0u);
        }
    }

private:
    std::unique_ptr<PrivateBus> m_bus;
};

QTEST_GUILESS_MAIN(TestDesktopBus)
#include "tst_desktopbus.moc"
