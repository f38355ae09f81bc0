// The short error message and the code text of the error details.
#include "startup/ShowErrorDetails.h"

#include <QApplication>

#include "base/AppError.h"
#include "odb/DbmsGlobal.h"
#include "odb/ui/ModalDialog.h"
#include "platform/Prompt.h"
#include "startup/frmShowException.h"
#include "startup/modZeltoFormUtility.h"

namespace {
constexpr int kShortTextLength = 200;
}

QString ErrorCodeText(int32_t number) {
    // Every negative number lies within the object-error range: show its offset from the base.
    const int64_t code = number < 0 ? static_cast<int64_t>(number) - vbObjectError : number;
    const auto bits = static_cast<uint32_t>(static_cast<int32_t>(code));
    return QStringLiteral("%1 (%2)").arg(code).arg(QString::number(bits, 16).toUpper());
}

QString ErrorShortMessage(int32_t number, const QString& description, const QString& extraText) {
    const int64_t offset = static_cast<int64_t>(number) - vbObjectError;
    QString text;
    if (offset == kAppErrorCode || offset == odb::odbErrGeneral) {
        text = odb::DbmsGlobal::ErrorText(odb::odbErrGeneral);
    } else {
        text =
            (extraText.isEmpty() ? description : extraText).left(kShortTextLength) + QStringLiteral(" ...");
    }
    return text + QStringLiteral("\r\rVisualizzare dettagli ?");
}

void ShowErrorDetails(const QString& extraText) {
    using namespace MsgBoxStyle;
    const AppError error = CurrentError();
    if (Prompt::instance().msgBox(ErrorShortMessage(error.number(), error.description(), extraText),
                                  vbYesNo | vbCritical | vbDefaultButton2,
                                  g_strMsgBoxTitle) != MsgResult::Yes)
        return;
    frmShowException window(QApplication::activeWindow());
    window.SetException(ErrorCodeText(error.number()), error.description());
    odb::RunModal(window);
}

GuardedApplication::Reporter InstallEscapedErrorDetails() {
    return GuardedApplication::SetEscapedErrorReporter([](const AppError& e) {
        SetCurrentError(e);
        ShowErrorDetails(QString());
    });
}
