// The keyboard's state as the program reads it: Shift held down, Caps Lock switched on.
#pragma once

#include <functional>

struct KeyboardState {
    bool shiftDown = false;
    bool capsLockOn = false;
};

class KeyState {
  public:
    static KeyboardState current();
    // Tests set the state; an empty function goes back to the real keyboard.
    static void setSource(std::function<KeyboardState()> source);
};
