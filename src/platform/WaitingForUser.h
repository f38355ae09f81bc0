// WaitingForUser: marks the time the program waits for the user, a box, a chooser or a modal window.
// The prompt service and the modal runner mark every wait of theirs; what a wait means is left to the
// hook that a higher layer sets (the script services keep it out of a running script's time).
#pragma once

#include <functional>
#include <memory>

class WaitingForUser {
  public:
    WaitingForUser();
    WaitingForUser(const WaitingForUser&) = delete;
    WaitingForUser& operator=(const WaitingForUser&) = delete;

    // Called as each wait begins; what it returns is kept until the wait ends. An empty hook: nothing.
    using Hook = std::function<std::shared_ptr<void>()>;
    static void SetHook(Hook hook);

  private:
    std::shared_ptr<void> held_;
};
