// The two services a script host needs from its application, a clock and a prompt, and the mark a
// host object's member sets while it waits for the user.
#pragma once

#include <QString>

#include "vbs/RunClock.h"

namespace vbs {

class ScriptClock {
  public:
    virtual ~ScriptClock() = default;
    virtual double Now() = 0;  // OLE date and time, to the second
};

class ScriptPrompt {
  public:
    virtual ~ScriptPrompt() = default;
    // VB's MsgBox: style bits and result codes as VB has them (1 OK, 2 Cancel, 6 Yes, 7 No...).
    virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
    // False when cancelled.
    virtual bool InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                          QString& value) = 0;
};

// Held for as long as a member of a host object waits for the user (the application holds one for
// each of its boxes, choosers and modal windows): that time is not the running script's own and does
// not count against its time limit. A script whose run time has passed its limit is asked whether to
// stop when such a member returns. Outside a script it does nothing.
class UserWait {
  public:
    UserWait() : wait_(RunClock::running()) {}

  private:
    RunClock::Wait wait_;
};

}  // namespace vbs
