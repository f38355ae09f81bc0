// The adapters live as long as the program: hosts keep plain pointers to them.
#include "startup/AppScriptServices.h"

#include "platform/WaitingForUser.h"
#include "startup/AppScriptClock.h"
#include "startup/AppScriptPrompt.h"
#include "vbs/ScriptHost.h"
#include "vbs/ScriptServices.h"

void AppScriptServices::Attach(vbs::ScriptHost& host) {
    static AppScriptClock clock;
    static AppScriptPrompt prompt;
    // Every box, chooser and modal window of the program, shown from a member a script calls, is a
    // wait for the user: not the script's time.
    static const bool hooked = [] {
        WaitingForUser::SetHook([] { return std::make_shared<vbs::UserWait>(); });
        return true;
    }();
    (void)hooked;
    host.SetClock(&clock);
    host.SetPrompt(&prompt);
}
