// AppError: the one error type of the system (number, source, description, help file, help
// context), the per-process current error, and the saved error that table rules hand back.
#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

// Object-error base: library and application codes are added to it.
inline constexpr int32_t vbObjectError = -2147221504;
// The system's own error code; raised as vbObjectError + 32755 = -2147188749.
inline constexpr int32_t kAppErrorCode = 32755;
inline constexpr int32_t kAppErrorNumber = vbObjectError + kAppErrorCode;
// Source of the system's own errors.
inline const char* const kProductName = "Zelto Lavrix";

class AppError : public std::exception {
  public:
    AppError() = default;
    AppError(int32_t number, QString source, QString description, QString helpFile = {},
             int32_t helpContext = 0);

    int32_t number() const { return number_; }
    const QString& source() const { return source_; }
    const QString& description() const { return description_; }
    const QString& helpFile() const { return helpFile_; }
    int32_t helpContext() const { return helpContext_; }

    const char* what() const noexcept override { return what_.c_str(); }

  private:
    int32_t number_ = 0;
    QString source_;
    QString description_;
    QString helpFile_;
    int32_t helpContext_ = 0;
    std::string what_;
};

// A VB run-time error (6 overflow, 13 type mismatch, 94 invalid use of Null...) with its Italian text.
[[noreturn]] void RaiseVbError(int32_t number, const QString& source = {});
QString VbErrorText(int32_t number);

// The text a window shows for a failure: an AppError's description; for any other exception, that of
// the C++ library, an Italian text saying what happened, never the library's own English words.
QString ErrorDescription(const std::exception& e);

// The current error: set where an error is caught, read by the error-details window.
void SetCurrentError(const AppError& e);
const AppError& CurrentError();
void ClearCurrentError();

// Saved error: SaveErrorInfo copies the current error; RaiseSavedError raises the copy again
// after setting the saved number back to 0.
void SaveErrorInfo();
void SaveErrorInfo(const AppError& e);
[[noreturn]] void RaiseSavedError();
const AppError& SavedError();
