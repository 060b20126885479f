#include "platform/SessionEvents.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Login = QStringLiteral("org.freedesktop.login1");
const QString LoginManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString LoginManager = QStringLiteral("org.freedesktop.login1.Manager");

// The screen savers that tell when they lock the screen: the freedesktop one
// (KDE, Xfce, GNOME's proxy) and GNOME Shell's own.
struct ScreenSaver {
    const char* path;
    const char* interface;
};
constexpr ScreenSaver ScreenSavers[] = {
    {"/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
};

} // namespace

BusSessionEvents::BusSessionEvents(const QDBusConnection& sessionBus, const QDBusConnection& systemBus, QObject* parent)
    : SessionEvents(parent)
    , m_systemBus(systemBus)
{
    // From any sender: a false alarm on the session bus can only lock, which
    // gives nothing away.
    QDBusConnection session = sessionBus;
    for (const ScreenSaver& saver : ScreenSavers)
        session.connect(QString(), QLatin1String(saver.path), QLatin1String(saver.interface),
                        QStringLiteral("ActiveChanged"), this, SLOT(screenSaverActiveChanged(bool)));

    // On the system bus only logind itself is heard.
    m_systemBus.connect(Login, LoginManagerPath, LoginManager, QStringLiteral("PrepareForSleep"), this,
                        SLOT(prepareForSleep(bool)));
    // "auto": the session this process runs in, else its user's graphical
    // one (a program started outside any session, as by a user service).
    askLogind(QDBusMessage::createMethodCall(Login, LoginManagerPath, LoginManager, QStringLiteral("GetSession"))
                  << QStringLiteral("auto"),
              &BusSessionEvents::loginSessionFound);
    delayNextSleep();
}

void BusSessionEvents::askLogind(const QDBusMessage& call, void (BusSessionEvents::*answered)(QDBusPendingCallWatcher*))
{
    auto* watcher = new QDBusPendingCallWatcher(m_systemBus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, answered);
}

void BusSessionEvents::delayNextSleep()
{
    askLogind(QDBusMessage::createMethodCall(Login, LoginManagerPath, LoginManager, QStringLiteral("Inhibit"))
                  << QStringLiteral("sleep") << QStringLiteral("Zantrove")
                  << QStringLiteral("Locking the passwords before sleep") << QStringLiteral("delay"),
              &BusSessionEvents::sleepDelayGranted);
}

void BusSessionEvents::sleepDelayGranted(QDBusPendingCallWatcher* call)
{
    const QDBusPendingReply<QDBusUnixFileDescriptor> delay = *call;
    call->deleteLater();
    if (!delay.isError())
        m_sleepDelay = delay.value();
}

void BusSessionEvents::screenSaverActiveChanged(bool active)
{
    if (active)
        emit screenLocked();
}

// The same signal says false when the computer wakes up again.
void BusSessionEvents::prepareForSleep(bool goingToSleep)
{
    if (!goingToSleep) {
        delayNextSleep();
        return;
    }
    emit sleeping();
    // Released from the event loop, after what the signal started there:
    // the lock hides the windows before its prompt waits for the user.
    QMetaObject::invokeMethod(
        this, [this] { m_sleepDelay = QDBusUnixFileDescriptor(); }, Qt::QueuedConnection);
}

void BusSessionEvents::loginSessionFound(QDBusPendingCallWatcher* call)
{
    const QDBusPendingReply<QDBusObjectPath> session = *call;
    call->deleteLater();
    if (session.isError())
        return;
    m_systemBus.connect(Login, session.value().path(), QStringLiteral("org.freedesktop.login1.Session"),
                        QStringLiteral("Lock"), this, SIGNAL(screenLocked()));
}
