#include "platform/BusIdleTime.h"

#include "support/PrivateBus.h"

#include <QProcessEnvironment>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// The desktop's idle-time services. They answer from a thread of their own,
// as the program's calls wait for the answer.
class FakeIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public slots:
    quint64 GetIdletime() { return idle; }

public:
    std::atomic<quint64> idle = 0; // milliseconds
};

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint GetSessionIdleTime() { return idle; }

public:
    std::atomic<uint> idle = 0; // seconds
};

} // namespace

class TestBusIdleTime : public QObject {
    Q_OBJECT

private slots:
    void waylandSessionIsToldByEitherVariable_data()
    {
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<bool>("wayland");
        QTest::newRow("X11") << "x11" << "" << false;
        QTest::newRow("Wayland session") << "wayland" << "" << true;
        QTest::newRow("Wayland display only") << "" << "wayland-0" << true;
        QTest::newRow("neither") << "" << "" << false;
    }

    void waylandSessionIsToldByEitherVariable()
    {
        QFETCH(QString, sessionType);
        QFETCH(QString, waylandDisplay);
        QFETCH(bool, wayland);
        QProcessEnvironment environment;
        if (!sessionType.isEmpty())
            environment.insert("XDG_SESSION_TYPE", sessionType);
        if (!waylandDisplay.isEmpty())
            environment.insert("WAYLAND_DISPLAY", waylandDisplay);
        QCOMPARE(isWaylandSession(environment), wayland);
    }

    void asksTheDesktopsServiceEachTime_data()
    {
        QTest::addColumn<bool>("idleMonitor");
        QTest::addColumn<bool>("screenSaver");
        QTest::addColumn<quint32>("expected"); // 0: no source
        QTest::newRow("GNOME's idle monitor") << true << false << 4321u;
        QTest::newRow("freedesktop screen saver, in seconds") << false << true << 7000u;
        QTest::newRow("both: GNOME's first") << true << true << 4321u;
        QTest::newRow("neither") << false << false << 0u;
    }

    void asksTheDesktopsServiceEachTime()
    {
        QFETCH(bool, idleMonitor);
        QFETCH(bool, screenSaver);
        QFETCH(quint32, expected);
        PrivateBus bus;
        QVERIFY2(bus.started(), "dbus-daemon is needed (scripts/install-dependencies.sh)");
        QThread serviceThread;
        serviceThread.start();
        auto monitor = std::make_unique<FakeIdleMonitor>();
        auto saver = std::make_unique<FakeScreenSaver>();
        monitor->idle = 4321;
        saver->idle = 7;
        monitor->moveToThread(&serviceThread);
        saver->moveToThread(&serviceThread);
        QDBusConnection desktop = bus.connect("desktop");
        if (idleMonitor) {
            QVERIFY(desktop.registerService("org.gnome.Mutter.IdleMonitor"));
            QVERIFY(desktop.registerObject("/org/gnome/Mutter/IdleMonitor/Core", monitor.get(),
                                           QDBusConnection::ExportAllSlots));
        }
        if (screenSaver) {
            QVERIFY(desktop.registerService("org.freedesktop.ScreenSaver"));
            QVERIFY(desktop.registerObject("/org/freedesktop/ScreenSaver", saver.get(),
                                           QDBusConnection::ExportAllSlots));
        }

        const std::unique_ptr<IdleTimeSource> source = openBusIdleTime(bus.connect("program"));
        QCOMPARE(source != nullptr, expected != 0);
        if (source) {
            QCOMPARE(source->IdleMilliseconds(), expected);
            // Asked again, not remembered; and a desktop that stops answering
            // counts as fresh input, so nobody is locked out.
            monitor->idle = 2 * monitor->idle;
            saver->idle = 2 * saver->idle;
            QCOMPARE(source->IdleMilliseconds(), 2 * expected);
            desktop.unregisterObject("/org/gnome/Mutter/IdleMonitor/Core");
            desktop.unregisterObject("/org/freedesktop/ScreenSaver");
            QCOMPARE(source->IdleMilliseconds(), 0u);
        }
        serviceThread.quit();
        serviceThread.wait();
    }
};

QTEST_GUILESS_MAIN(TestBusIdleTime)
#include "tst_busidletime.moc"
