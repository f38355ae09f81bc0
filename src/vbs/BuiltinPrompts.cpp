// MsgBox and InputBox, through the prompt the host hands in.
#include "base/AppError.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"
#include "vbs/ScriptServices.h"

namespace vbs {

namespace {

ScriptPrompt& promptOf(BuiltinContext& ctx) {
    // A host without a prompt cannot ask anything: the script gets an error, not a made-up answer.
    if (!ctx.prompt) RaiseVbError(5);
    return *ctx.prompt;
}

// MsgBox(prompt[, buttons[, title[, helpfile, context]]]): the help arguments are accepted and unused.
Variant MsgBox(BuiltinContext& ctx, VariantList& args) {
    const QString text = StringArg(args, 0);
    const int32_t buttons = LongArg(args, 1, 0);
    const QString title = StringArg(args, 2);
    return Variant(static_cast<int16_t>(promptOf(ctx).MsgBox(text, buttons, title)));
}

// InputBox(prompt[, title[, default[, xpos, ypos[, helpfile, context]]]]): "" when cancelled.
Variant InputBox(BuiltinContext& ctx, VariantList& args) {
    const QString text = StringArg(args, 0);
    const QString title = StringArg(args, 1);
    const QString initial = StringArg(args, 2);
    for (size_t i = 3; i < 5; ++i)
        LongArg(args, i, 0);
    QString value;
    if (!promptOf(ctx).InputBox(text, title, initial, value)) return Variant(QString());
    return Variant(value);
}

}  // namespace

void AddPromptBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"MsgBox", 1, 5, MsgBox},
                                  {"InputBox", 1, 7, InputBox},
                              });
}

}  // namespace vbs
