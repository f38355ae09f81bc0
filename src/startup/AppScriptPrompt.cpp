// Script message and input boxes through the prompt service.
#include "startup/AppScriptPrompt.h"

#include "platform/Prompt.h"

int AppScriptPrompt::MsgBox(const QString& text, int style, const QString& title) {
    return static_cast<int>(Prompt::instance().msgBox(text, style, title));
}

bool AppScriptPrompt::InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                               QString& value) {
    return Prompt::instance().inputBox(prompt, title, defaultValue, value);
}
