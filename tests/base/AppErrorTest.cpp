// The application error and the saved error that table rules hand back.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "base/AppError.h"

namespace {

TEST(AppError, SavedErrorRaisedAgainWithItsFieldsAndNumberReset) {
    SetCurrentError(AppError(kAppErrorNumber, "Zelto Lavrix", "guasto", "help.chm", 7));
    SaveErrorInfo();
    SetCurrentError(AppError(5, "altro", "pulizia"));  // a clean-up error in between
    try {
        RaiseSavedError();
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), kAppErrorNumber);
        EXPECT_EQ(e.source(), "Zelto Lavrix");
        EXPECT_EQ(e.description(), "guasto");
        EXPECT_EQ(e.helpFile(), "help.chm");
        EXPECT_EQ(e.helpContext(), 7);
    }
    EXPECT_EQ(SavedError().number(), 0);
    EXPECT_EQ(SavedError().description(), "guasto");
}

TEST(AppError, VbErrorsCarryItalianTexts) {
    try {
        RaiseVbError(13);
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.description(), "Tipo non corrispondente");
    }
}

TEST(AppError, WindowsShowTheProgramsOwnTextsAndNeverTheLibrarysEnglish) {
    EXPECT_EQ("Valore non valido", ErrorDescription(AppError(380, "x", "Valore non valido")));
    const QString memory = QStringLiteral("Operazione non riuscita: memoria esaurita.");
    EXPECT_EQ(memory, ErrorDescription(std::bad_alloc()));
    EXPECT_EQ(memory, ErrorDescription(std::bad_array_new_length()));
    const QString system = QStringLiteral("Operazione non riuscita: errore del sistema operativo.");
    EXPECT_EQ(system, ErrorDescription(std::system_error(std::make_error_code(std::errc::io_error))));
    EXPECT_EQ(system, ErrorDescription(std::filesystem::filesystem_error(
                          "copy", std::make_error_code(std::errc::no_space_on_device))));
    EXPECT_EQ(QStringLiteral("Operazione non riuscita: errore interno del programma."),
              ErrorDescription(std::out_of_range("vector::_M_range_check")));
}

}  // namespace
