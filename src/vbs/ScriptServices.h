// The two services a script host needs from its application: a clock and a prompt.
#pragma once

#include <QString>

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

}  // namespace vbs
