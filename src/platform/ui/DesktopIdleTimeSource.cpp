#include "platform/ui/DesktopIdleTimeSource.h"

#include "platform/BusIdleTime.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QLibrary>
#include <QObject>
#include <QProcessEnvironment>
#include <QtGui/qguiapplication_platform.h>

#include <limits>

quint32 idleSince(quint32 now, quint32 last)
{
    if (now < last)
        return (std::numeric_limits<quint32>::max() - last) + now;
    return now - last;
}

namespace {

#if QT_CONFIG(xcb)

// The layout of XScreenSaverInfo, declared here so that building needs no X
// development headers; the libraries are found when the program runs.
struct ScreenSaverInfo {
    unsigned long window;
    int state;
    int kind;
    unsigned long tilOrSince;
    unsigned long idle;
    unsigned long eventMask;
};

using QueryExtension = int (*)(Display*, int*, int*);
using QueryInfo = int (*)(Display*, unsigned long, ScreenSaverInfo*);
using RootWindowOf = unsigned long (*)(Display*);

// The X server's own count of the time since the last input to any window.
class ScreenSaverIdleTime final : public IdleTimeSource {
public:
    ScreenSaverIdleTime(Display* display, unsigned long rootWindow, QueryInfo queryInfo)
        : m_display(display)
        , m_rootWindow(rootWindow)
        , m_queryInfo(queryInfo)
    {
    }

    quint32 IdleMilliseconds() override
    {
        ScreenSaverInfo info{};
        // A failed query must not lock anybody out: it counts as fresh input.
        if (!m_queryInfo(m_display, m_rootWindow, &info))
            return 0;
        return static_cast<quint32>(info.idle);
    }

private:
    Display* m_display;
    unsigned long m_rootWindow;
    QueryInfo m_queryInfo;
};

#endif

// Null unless the display is X11 and its server offers the screen-saver extension.
std::unique_ptr<IdleTimeSource> openScreenSaverIdleTime()
{
#if QT_CONFIG(xcb)
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return nullptr;
    const QString xss = QStringLiteral("Xss");
    const auto queryExtension =
        reinterpret_cast<QueryExtension>(QLibrary::resolve(xss, 1, "XScreenSaverQueryExtension"));
    const auto queryInfo = reinterpret_cast<QueryInfo>(QLibrary::resolve(xss, 1, "XScreenSaverQueryInfo"));
    const auto rootWindowOf =
        reinterpret_cast<RootWindowOf>(QLibrary::resolve(QStringLiteral("X11"), 6, "XDefaultRootWindow"));
    int eventBase = 0;
    int errorBase = 0;
    if (queryExtension && queryInfo && rootWindowOf && queryExtension(display, &eventBase, &errorBase))
        return std::make_unique<ScreenSaverIdleTime>(display, rootWindowOf(display), queryInfo);
#endif
    return nullptr;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel: return true;
    default: return false;
    }
}

// The time since the last key, mouse or wheel event that reached this program.
class ProgramInputIdleTime final : public QObject, public IdleTimeSource {
public:
    explicit ProgramInputIdleTime(DesktopIdleTimeSource::Clock clock)
        : m_now(std::move(clock))
    {
        if (!m_now) {
            m_steady.start();
            // Truncated on purpose: the count runs on 32 bits and wraps like a tick counter.
            m_now = [this] { return static_cast<quint32>(m_steady.elapsed()); };
        }
        m_lastInput = m_now();
        QCoreApplication::instance()->installEventFilter(this);
    }

    quint32 IdleMilliseconds() override { return idleSince(m_now(), m_lastInput); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (isUserInput(event->type()))
            m_lastInput = m_now();
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer m_steady;
    DesktopIdleTimeSource::Clock m_now;
    quint32 m_lastInput = 0;
};

} // namespace

DesktopIdleTimeSource::DesktopIdleTimeSource(Clock clock)
    : m_source(BusIdleTime::isWaylandSession(QProcessEnvironment::systemEnvironment())
                   ? BusIdleTime::open(QDBusConnection::sessionBus())
                   : openScreenSaverIdleTime())
    , m_seesWholeDesktop(m_source != nullptr)
{
    if (!m_source)
        m_source = std::make_unique<ProgramInputIdleTime>(std::move(clock));
}

DesktopIdleTimeSource::~DesktopIdleTimeSource() = default;

quint32 DesktopIdleTimeSource::IdleMilliseconds()
{
    return m_source->IdleMilliseconds();
}
