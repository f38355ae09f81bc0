// The beep of the program, through one service so that tests can count the beeps.
#pragma once

#include <functional>

class Beeper {
  public:
    static void Beep();
    // Replaces what a beep does (tests count); an empty function goes back to the desktop's beep.
    // Returns the previous one.
    static std::function<void()> setHandler(std::function<void()> handler);
};
