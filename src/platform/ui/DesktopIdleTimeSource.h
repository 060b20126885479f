#pragma once

#include "platform/IdleTimeSource.h"

#include <functional>
#include <memory>

// The milliseconds from last to now on a 32-bit millisecond counter, also when
// the counter wrapped around in between.
quint32 idleSince(quint32 now, quint32 last);

// The desktop's idle time, the source chosen once. In a Wayland session the
// desktop is asked over D-Bus (BusIdleTime), as the X server there sees only
// the input to X11 windows; elsewhere the X11 screen-saver extension answers.
// Where neither does (offscreen, no library, a desktop without the service)
// only this program's own input counts. Create it after the application object.
class DesktopIdleTimeSource final : public IdleTimeSource {
public:
    // Milliseconds on a 32-bit counter that goes up with time.
    using Clock = std::function<quint32()>;
    // The program's own input is timed by clock; a steady one unless given
    // (tests move theirs by hand).
    explicit DesktopIdleTimeSource(Clock clock = {});
    ~DesktopIdleTimeSource() override;

    quint32 IdleMilliseconds() override;
    // Whether input to other programs counts too.
    bool seesWholeDesktop() const { return m_seesWholeDesktop; }

private:
    std::unique_ptr<IdleTimeSource> m_source;
    bool m_seesWholeDesktop = false;
};
