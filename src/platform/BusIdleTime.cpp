#include "platform/BusIdleTime.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcessEnvironment>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// Asked once a second from the event loop: a desktop that does not answer
// soon must not freeze the windows.
constexpr int AnswerTimeoutMilliseconds = 500;

// One method that gives the idle time, and the milliseconds of its unit.
struct IdleTimeQuery {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
    quint64 millisecondsPerUnit;
};

// In order of preference: GNOME's counts milliseconds and answers on GNOME,
// where the freedesktop one refuses the call.
constexpr IdleTimeQuery Queries[] = {
    {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor",
     "GetIdletime", 1},
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "GetSessionIdleTime",
     1000},
};

std::optional<quint64> askIdleMilliseconds(const QDBusConnection& bus, const IdleTimeQuery& query)
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(query.service), QLatin1String(query.path),
                                       QLatin1String(query.interface), QLatin1String(query.method));
    const QDBusMessage reply = bus.call(call, QDBus::Block, AnswerTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    bool isNumber = false;
    const quint64 units = reply.arguments().constFirst().toULongLong(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return units * query.millisecondsPerUnit;
}

class BusIdleTimeSource final : public IdleTimeSource {
public:
    BusIdleTimeSource(const QDBusConnection& bus, const IdleTimeQuery& query)
        : m_bus(bus)
        , m_query(query)
    {
    }

    // A failed answer must not lock anybody out: it counts as fresh input.
    quint32 IdleMilliseconds() override
    {
        const quint64 idle = askIdleMilliseconds(m_bus, m_query).value_or(0);
        return static_cast<quint32>(std::min<quint64>(idle, std::numeric_limits<quint32>::max()));
    }

private:
    QDBusConnection m_bus;
    IdleTimeQuery m_query;
};

} // namespace

namespace BusIdleTime {

bool isWaylandSession(const QProcessEnvironment& environment)
{
    return environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland")
           || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

std::unique_ptr<IdleTimeSource> open(const QDBusConnection& bus)
{
    for (const IdleTimeQuery& query : Queries) {
        if (askIdleMilliseconds(bus, query))
            return std::make_unique<BusIdleTimeSource>(bus, query);
    }
    return nullptr;
}

} // namespace BusIdleTime
