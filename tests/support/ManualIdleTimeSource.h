#pragma once

#include "platform/ui/DesktopIdleTimeSource.h"

// An idle time the test sets by hand.
class ManualIdleTimeSource final : public IdleTimeSource {
public:
    quint32 idleMilliseconds = 0;

    quint32 IdleMilliseconds() override { return idleMilliseconds; }
};
