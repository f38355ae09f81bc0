// Script time from the program's clock.
#include "startup/AppScriptClock.h"

#include "platform/Clock.h"

double AppScriptClock::Now() {
    return Clock::now();
}
