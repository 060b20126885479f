#pragma once

#include <QtGlobal>

// How long the user has left keyboard and mouse alone.
class IdleTimeSource {
public:
    virtual ~IdleTimeSource() = default;
    virtual quint32 IdleMilliseconds() = 0;
};
