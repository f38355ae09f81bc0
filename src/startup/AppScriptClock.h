// AppScriptClock: the script host's clock over the program's one clock, so that Now, Date and Time in
// a script read what the rest of the program reads.
#pragma once

#include "vbs/ScriptServices.h"

class AppScriptClock : public vbs::ScriptClock {
  public:
    double Now() override;
};
