#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

class QDBusMessage;
class QDBusPendingCallWatcher;

// The desktop telling that the user leaves: the screen locks, or the computer
// is about to sleep. This base class never emits by itself; tests emit its
// signals to stand for the desktop.
class SessionEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void screenLocked();
    void sleeping();
};

// The events as the desktop sends them over D-Bus: the screen savers'
// ActiveChanged on the session bus; on the system bus logind's PrepareForSleep
// and the Lock signal of this program's login session. Sleep waits for the
// program: it holds logind's delay lock until what sleeping() started has
// begun. A bus that is not connected only means its events never come.
class BusSessionEvents final : public SessionEvents {
    Q_OBJECT
public:
    BusSessionEvents(const QDBusConnection& sessionBus, const QDBusConnection& systemBus, QObject* parent = nullptr);

private slots:
    void screenSaverActiveChanged(bool active);
    void prepareForSleep(bool goingToSleep);
    void loginSessionFound(QDBusPendingCallWatcher* call);
    void sleepDelayGranted(QDBusPendingCallWatcher* call);

private:
    // Asks logind to wait before the next sleep until the delay is released.
    void delayNextSleep();
    // A call to logind's manager whose answer goes to answered.
    void askLogind(const QDBusMessage& call, void (BusSessionEvents::*answered)(QDBusPendingCallWatcher*));

    QDBusConnection m_systemBus;
    // Open while logind waits for the program before sleeping.
    QDBusUnixFileDescriptor m_sleepDelay;
};
