// AppScriptPrompt: the script host's MsgBox and InputBox over the program's prompt service.
#pragma once

#include "vbs/ScriptServices.h"

class AppScriptPrompt : public vbs::ScriptPrompt {
  public:
    int MsgBox(const QString& text, int style, const QString& title) override;
    bool InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                  QString& value) override;
};
