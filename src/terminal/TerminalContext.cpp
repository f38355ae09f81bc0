// The terminal's context of the shop-floor commands.
#include "terminal/TerminalContext.h"

#include "platform/Prompt.h"
#include "startup/frmMessage.h"

namespace {

int styleOf(ShopFloorMessage::Icon icon) {
    switch (icon) {
        case ShopFloorMessage::Icon::Error:
            return MsgBoxStyle::vbCritical;
        case ShopFloorMessage::Icon::Information:
            return MsgBoxStyle::vbInformation;
        case ShopFloorMessage::Icon::Warning:
            break;
    }
    return MsgBoxStyle::vbExclamation;
}

}  // namespace

TerminalContext::TerminalContext(const QString& worker, QWidget* owner, QWidget* panel)
    : panel_(panel), context_(ShopFloorContext::Current(worker)) {
    QPointer<QWidget> over(owner);
    context_.tell = [over](const ShopFloorMessage& m) {
        Prompt::instance().msgBox(m.text, styleOf(m.icon), {}, over);
    };
    context_.progress = this;
}

void TerminalContext::Begin(const QString& text) {
    frmMessage::instance().ShowMsg(text, panel_, -1, -1);
}

void TerminalContext::Start(int32_t steps) {
    frmMessage::instance().StartProgress(steps, false);
}

void TerminalContext::Step() {
    frmMessage::instance().Progress();
}

void TerminalContext::End() {
    frmMessage::Unload();
}
