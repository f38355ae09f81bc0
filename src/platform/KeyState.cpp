// Shift from Qt; Caps Lock from the X keyboard extension when the program runs on X11.
#include "platform/KeyState.h"

#include <QGuiApplication>

#if ZL_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace {

std::function<KeyboardState()>& source() {
    static std::function<KeyboardState()> s;
    return s;
}

bool capsLockLocked() {
#if ZL_HAVE_X11
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display* display = x11->display()) {
            XkbStateRec state{};
            if (XkbGetState(display, XkbUseCoreKbd, &state) == Success)
                return (state.locked_mods & LockMask) != 0;
        }
    }
#endif
    return false;
}

}  // namespace

KeyboardState KeyState::current() {
    if (source()) return source()();
    KeyboardState s;
    s.shiftDown = (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
    s.capsLockOn = capsLockLocked();
    return s;
}

void KeyState::setSource(std::function<KeyboardState()> s) {
    source() = std::move(s);
}
