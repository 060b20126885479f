#pragma once

#include "platform/IdleTimeSource.h"

#include <memory>

class QDBusConnection;
class QProcessEnvironment;

namespace BusIdleTime {

// Whether the desktop session is Wayland's, where the program may run through
// XWayland and still see only the input to X11 windows.
bool isWaylandSession(const QProcessEnvironment& environment);

// The desktop's own idle time, asked on bus: GNOME's idle monitor, else the
// freedesktop screen saver. Null when neither answers now.
std::unique_ptr<IdleTimeSource> open(const QDBusConnection& bus);

} // namespace BusIdleTime
