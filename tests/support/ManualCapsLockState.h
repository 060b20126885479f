#pragma once

#include "platform/ui/CapsLockState.h"

#include <QKeyEvent>

// A Caps Lock the test turns on and off by hand; counts the keys it is told of.
class ManualCapsLockState final : public CapsLockState {
public:
    bool on = false;
    int keysNoted = 0;

    bool isOn() const override { return on; }
    void noteKeyPress(const QKeyEvent&) override { ++keysNoted; }
};
