#include "platform/ui/CapsLockState.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibrary>
#include <QtGui/qguiapplication_platform.h>

std::optional<bool> capsLockFromTypedText(const QString& text, bool shiftHeld)
{
    if (text.size() != 1 || text.toUpper() == text.toLower())
        return std::nullopt;
    const bool upperCase = text.at(0).isUpper();
    return upperCase != shiftHeld;
}

CapsLockState::~CapsLockState() = default;

namespace {

#if QT_CONFIG(xcb)

// The X library's types and calls, declared here so that building needs no X
// development headers; the library is found when the program runs.
using Atom = unsigned long;
using InternAtom = Atom (*)(Display*, const char*, int);
using GetNamedIndicator = int (*)(Display*, Atom, int*, int*, void*, int*);

// The state of the keyboard's light named "Caps Lock", as the X server keeps it.
class XkbCapsLockState final : public CapsLockState {
public:
    XkbCapsLockState(Display* display, Atom capsLockName, GetNamedIndicator getNamedIndicator)
        : m_display(display)
        , m_capsLockName(capsLockName)
        , m_getNamedIndicator(getNamedIndicator)
    {
    }

    bool isOn() const override
    {
        int index = 0;
        int on = 0;
        return m_getNamedIndicator(m_display, m_capsLockName, &index, &on, nullptr, nullptr) && on;
    }

    void noteKeyPress(const QKeyEvent&) override { }

private:
    Display* m_display;
    Atom m_capsLockName;
    GetNamedIndicator m_getNamedIndicator;
};

#endif

// Null unless the display is X11 and its keyboard has a light named "Caps Lock".
std::unique_ptr<CapsLockState> openXkbCapsLockState()
{
#if QT_CONFIG(xcb)
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return nullptr;
    const QString x11Library = QStringLiteral("X11");
    const auto internAtom = reinterpret_cast<InternAtom>(QLibrary::resolve(x11Library, 6, "XInternAtom"));
    const auto getNamedIndicator =
        reinterpret_cast<GetNamedIndicator>(QLibrary::resolve(x11Library, 6, "XkbGetNamedIndicator"));
    if (!internAtom || !getNamedIndicator)
        return nullptr;
    // Only an existing name: a keyboard without the light has nothing to read.
    const Atom capsLockName = internAtom(display, "Caps Lock", 1);
    int index = 0;
    int on = 0;
    if (capsLockName && getNamedIndicator(display, capsLockName, &index, &on, nullptr, nullptr))
        return std::make_unique<XkbCapsLockState>(display, capsLockName, getNamedIndicator);
#endif
    return nullptr;
}

// Learnt from the letters typed: off until a letter says otherwise, and
// turned over by the Caps Lock key itself.
class TypedCapsLockState final : public CapsLockState {
public:
    bool isOn() const override { return m_on; }

    void noteKeyPress(const QKeyEvent& event) override
    {
        if (event.key() == Qt::Key_CapsLock)
            m_on = !m_on;
        else if (const std::optional<bool> told =
                     capsLockFromTypedText(event.text(), event.modifiers() & Qt::ShiftModifier))
            m_on = *told;
    }

private:
    bool m_on = false;
};

} // namespace

DesktopCapsLockState::DesktopCapsLockState()
    : m_source(openXkbCapsLockState())
{
    if (!m_source)
        m_source = std::make_unique<TypedCapsLockState>();
}

DesktopCapsLockState::~DesktopCapsLockState() = default;

bool DesktopCapsLockState::isOn() const
{
    return m_source->isOn();
}

void DesktopCapsLockState::noteKeyPress(const QKeyEvent& event)
{
    m_source->noteKeyPress(event);
}
