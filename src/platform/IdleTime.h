#pragma once

#include <QtGlobal>

#include <memory>

// The milliseconds from last to now on a 32-bit millisecond counter, also when
// the counter wrapped around in between.
quint32 idleSince(quint32 now, quint32 last);

// How long the user has left keyboard and mouse alone.
class IdleTimeSource {
public:
    virtual ~IdleTimeSource();
    virtual quint32 IdleMilliseconds() = 0;
};

// The desktop's idle time. Where the X11 screen-saver extension answers, input
// to any program's window counts; elsewhere (Wayland, offscreen, no library)
// only this program's own input does. Create it after the application object.
class DesktopIdleTimeSource final : public IdleTimeSource {
public:
    DesktopIdleTimeSource();
    ~DesktopIdleTimeSource() override;

    quint32 IdleMilliseconds() override;
    // Whether input to other programs counts too.
    bool seesWholeDesktop() const { return m_seesWholeDesktop; }

private:
    std::unique_ptr<IdleTimeSource> m_source;
    bool m_seesWholeDesktop = false;
};
