#include "platform/SessionEvents.h"

#include "support/PrivateBus.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString OwnSession = QStringLiteral("/org/freedesktop/login1/session/_3");

// logind's manager as far as the program asks it: which session is "auto".
class FakeLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSession(const QString& id)
    {
        asked.append(id);
        return QDBusObjectPath(OwnSession);
    }

public:
    QStringList asked;
};

} // namespace

// One private bus stands for both the session and the system bus.
class TestSessionEvents : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->started(), "dbus-daemon is needed (scripts/install-dependencies.sh)");
        m_login = m_bus->connect(QStringLiteral("login"));
        QVERIFY(m_login.registerService(QStringLiteral("org.freedesktop.login1")));
        QVERIFY(m_login.registerObject(QStringLiteral("/org/freedesktop/login1"), &m_manager,
                                       QDBusConnection::ExportAllSlots));
        m_stranger = m_bus->connect(QStringLiteral("stranger"));
        const QDBusConnection program = m_bus->connect(QStringLiteral("program"));
        m_events = std::make_unique<BusSessionEvents>(program, program);
        QTRY_COMPARE(m_manager.asked, QStringList{"auto"});
        // Once the answer has been taken, its Lock signal is subscribed to.
        QCoreApplication::processEvents();
        PrivateBus::flush(program);
    }

    void cleanup()
    {
        m_events.reset();
        m_manager.asked.clear();
        m_login = m_stranger = QDBusConnection(QString());
        m_bus.reset();
    }

    void busSignalsBecomeEvents_data()
    {
        QTest::addColumn<bool>("fromLogind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<int>("screenLocks");
        QTest::addColumn<int>("sleeps");

        const QString freedesktop = QStringLiteral("org.freedesktop.ScreenSaver");
        const QString gnome = QStringLiteral("org.gnome.ScreenSaver");
        const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
        const QString session = QStringLiteral("org.freedesktop.login1.Session");
        QTest::newRow("screen saver starts") << false << "/org/freedesktop/ScreenSaver" << freedesktop
                                             << "ActiveChanged" << QVariantList{true} << 1 << 0;
        QTest::newRow("screen saver ends") << false << "/org/freedesktop/ScreenSaver" << freedesktop << "ActiveChanged"
                                           << QVariantList{false} << 0 << 0;
        QTest::newRow("GNOME Shell locks") << false << "/org/gnome/ScreenSaver" << gnome << "ActiveChanged"
                                           << QVariantList{true} << 1 << 0;
        QTest::newRow("going to sleep") << true << "/org/freedesktop/login1" << manager << "PrepareForSleep"
                                        << QVariantList{true} << 0 << 1;
        QTest::newRow("waking up") << true << "/org/freedesktop/login1" << manager << "PrepareForSleep"
                                   << QVariantList{false} << 0 << 0;
        QTest::newRow("sleep told by another") << false << "/org/freedesktop/login1" << manager << "PrepareForSleep"
                                               << QVariantList{true} << 0 << 0;
        QTest::newRow("own session locked") << true << OwnSession << session << "Lock" << QVariantList() << 1 << 0;
        QTest::newRow("another session locked") << true << "/org/freedesktop/login1/session/_7" << session << "Lock"
                                                << QVariantList() << 0 << 0;
    }

    void busSignalsBecomeEvents()
    {
        QFETCH(bool, fromLogind);
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, member);
        QFETCH(QVariantList, arguments);
        QFETCH(int, screenLocks);
        QFETCH(int, sleeps);
        QSignalSpy locked(m_events.get(), &SessionEvents::screenLocked);
        QSignalSpy sleeping(m_events.get(), &SessionEvents::sleeping);

        const QDBusConnection& sender = fromLogind ? m_login : m_stranger;
        QDBusMessage tested = QDBusMessage::createSignal(path, interface, member);
        tested.setArguments(arguments);
        QVERIFY(sender.send(tested));
        // A screen lock the program surely hears, sent after: once it has
        // arrived, so has the signal before it.
        QDBusMessage marker = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                         QStringLiteral("org.freedesktop.ScreenSaver"),
                                                         QStringLiteral("ActiveChanged"));
        marker << true;
        QVERIFY(sender.send(marker));
        QTRY_COMPARE(locked.count(), screenLocks + 1);
        QCOMPARE(sleeping.count(), sleeps);
    }

    void withoutBusesNothingComesAndNothingBreaks()
    {
        const QDBusConnection none(QStringLiteral("not connected"));
        BusSessionEvents events(none, none);
        QSignalSpy locked(&events, &SessionEvents::screenLocked);
        QSignalSpy sleeping(&events, &SessionEvents::sleeping);
        QCoreApplication::processEvents();
        QCOMPARE(locked.count() + sleeping.count(), 0);
    }

private:
    std::unique_ptr<PrivateBus> m_bus;
    QDBusConnection m_login{QString()};
    QDBusConnection m_stranger{QString()};
    FakeLoginManager m_manager;
    std::unique_ptr<BusSessionEvents> m_events;
};

QTEST_GUILESS_MAIN(TestSessionEvents)
#include "tst_sessionevents.moc"
