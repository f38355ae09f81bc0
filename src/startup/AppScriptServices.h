// AppScriptServices: the one clock and prompt pair that every script host of the program gets.
#pragma once

namespace vbs {
class ScriptHost;
}

class AppScriptServices {
  public:
    // Sets the program's clock and prompt adapters on the host, and makes the program's waits for the
    // user (WaitingForUser) waits of the script running when they come.
    static void Attach(vbs::ScriptHost& host);
};
