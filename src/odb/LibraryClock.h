// LibraryClock: the clock the library stamps its rows with (the login time). The program gives
// its own, so that tests fixing the time see it; until then the system's.
#pragma once

#include <functional>

namespace odb {

class LibraryClock {
  public:
    // `now`: the current date and time as an OLE date; an empty function goes back to the system's.
    static void Set(std::function<double()> now);
    static double Now();
};

}  // namespace odb
