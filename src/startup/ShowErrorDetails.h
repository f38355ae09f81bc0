// ShowErrorDetails: the last stop of a failed user action: a short message about the current error
// that offers its details in frmShowException.
#pragma once

#include <QString>

#include <cstdint>

#include "platform/GuardedApplication.h"

// Tells the user that the action failed (`extraText`, when not empty, replaces the error's
// description in the short message) and on Yes shows the code and the full description.
void ShowErrorDetails(const QString& extraText);

// The code shown for an error number: own and library codes as their offset from the object-error
// base, others as they are; decimal, then hexadecimal in parentheses: "32755 (7FF3)".
QString ErrorCodeText(int32_t number);
// The short message of ShowErrorDetails.
QString ErrorShortMessage(int32_t number, const QString& description, const QString& extraText);

// From now on an error that escapes a window event is shown as ShowErrorDetails shows the current
// error, and the program goes on; returns the reporter heard before.
GuardedApplication::Reporter InstallEscapedErrorDetails();
