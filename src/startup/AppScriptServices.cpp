// The adapters live as long as the program: hosts keep plain pointers to them.
#include "startup/AppScriptServices.h"

#include "startup/AppScriptClock.h"
#include "startup/AppScriptPrompt.h"
#include "vbs/ScriptHost.h"

void AppScriptServices::Attach(vbs::ScriptHost& host) {
    static AppScriptClock clock;
    static AppScriptPrompt prompt;
    host.SetClock(&clock);
    host.SetPrompt(&prompt);
}
