// The application error and the saved error that table rules hand back.
#include <gtest/gtest.h>

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

}  // namespace
