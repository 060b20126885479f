#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

// A D-Bus daemon of the test's own, so that a test neither needs the
// desktop's buses nor disturbs them. The daemon ends with the object, and
// every connection made through it is closed first.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    // False when dbus-daemon could not be started.
    bool started() const { return !m_address.isEmpty(); }
    // A new connection to the bus, known to Qt under name.
    QDBusConnection connect(const QString& name);
    // Returns once the bus has handled everything connection sent before:
    // a call to the daemon itself, answered in order.
    static void flush(const QDBusConnection& connection);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
