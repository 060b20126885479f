#pragma once

#include <QString>

#include <memory>
#include <optional>

class QKeyEvent;

// What a typed character tells of Caps Lock: a letter in upper case without
// Shift, or in lower case with it, means on; the other two ways mean off.
// Anything without case (digits, signs, control keys) tells nothing.
std::optional<bool> capsLockFromTypedText(const QString& text, bool shiftHeld);

// Whether Caps Lock is on.
class CapsLockState {
public:
    virtual ~CapsLockState();
    virtual bool isOn() const = 0;
    // Every key pressed in a box that shows the warning passes here, for
    // sources that learn the state from the typing itself.
    virtual void noteKeyPress(const QKeyEvent& event) = 0;
};

// The keyboard's own Caps Lock light where the X keyboard extension answers;
// elsewhere (Wayland, offscreen, no library) what the keys typed into this
// program tell. Create it after the application object.
class DesktopCapsLockState final : public CapsLockState {
public:
    DesktopCapsLockState();
    ~DesktopCapsLockState() override;

    bool isOn() const override;
    void noteKeyPress(const QKeyEvent& event) override;

private:
    std::unique_ptr<CapsLockState> m_source;
};
