// The program's own errors: number, source and the bracketed description; errors escaping events.
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/GuardedApplication.h"
#include "platform/modOSWinUtil.h"

namespace {

class clsLabelEngine : public Object {
  public:
    QString className() const override { return "clsLabelEngine"; }
    Variant invoke(const QString&, CallKind, VariantList&) override { return {}; }
};

namespace reports {
struct clsReportEngine {
    virtual ~clsReportEngine() = default;
};
}  // namespace reports

template <class F>
AppError caught(F raise) {
    try {
        raise();
    } catch (const AppError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

TEST(ErrorRaising, TextSourceGivesTheTextBetweenBrackets) {
    const AppError e = caught(
        [] { RaiseAppError(Variant("APPLICATION UPDATE"), "pacchetto non valido o dati insufficienti"); });
    EXPECT_EQ(e.number(), -2147188749);
    EXPECT_EQ(e.source(), "Zelto Lavrix");
    EXPECT_EQ(e.description(),
              "[APPLICATION UPDATE], Err.: 32755\rpacchetto non valido o dati insufficienti");
    EXPECT_TRUE(e.helpFile().isEmpty());
    EXPECT_EQ(e.helpContext(), 0);
}

TEST(ErrorRaising, EmptyDescriptionAddsNoCarriageReturn) {
    const AppError e = caught([] { RaiseAppError(Variant("CABARC.EXE"), ""); });
    EXPECT_EQ(e.description(), "[CABARC.EXE], Err.: 32755");
}

TEST(ErrorRaising, ObjectSourceGivesItsClassName) {
    const Variant engine(ObjectRef(std::make_shared<clsLabelEngine>()));
    EXPECT_EQ(caught([&] { RaiseAppError(engine, "x"); }).description(), "[clsLabelEngine], Err.: 32755\rx");
    const clsLabelEngine direct;
    EXPECT_EQ(caught([&] { RaiseAppError(direct, "y"); }).description(), "[clsLabelEngine], Err.: 32755\ry");
    const reports::clsReportEngine plain;
    EXPECT_EQ(caught([&] { RaiseAppError(plain, "z"); }).description(), "[clsReportEngine], Err.: 32755\rz");
}

TEST(ErrorRaising, RaiseErrorExPutsTheBareCodeInTheTextAndTheBaseInTheNumber) {
    const AppError e = caught([] { RaiseErrorEx(Variant("Lettore"), 12, "carta assente"); });
    EXPECT_EQ(e.number(), vbObjectError + 12);
    EXPECT_EQ(e.description(), "[Lettore], Err.: 12\rcarta assente");
}

TEST(ErrorRaising, ARuleHandsTheSameErrorBackAfterItsCleanUp) {
    try {
        RaiseAppError(Variant("Regola"), "quantità non valida");
    } catch (const AppError& e) {
        SetCurrentError(e);
        SaveErrorInfo();
    }
    SetCurrentError(AppError(91, "pulizia", "altro errore"));  // the guard release failing in between
    const AppError again = caught([] { RaiseSavedError(); });
    EXPECT_EQ(again.number(), kAppErrorNumber);
    EXPECT_EQ(again.source(), "Zelto Lavrix");
    EXPECT_EQ(again.description(), "[Regola], Err.: 32755\rquantità non valida");
    EXPECT_EQ(SavedError().number(), 0);
}

TEST(EscapedErrors, OneIsToldAtATime) {
    // A window that fails at every click, clicked again while its first failure is being told (as a
    // repaint or a timer would fail again under the message).
    QPushButton button(QStringLiteral("Vai"));
    QObject::connect(&button, &QPushButton::clicked, [] { RaiseAppError(QStringLiteral("PROVA"), {}); });
    button.show();
    QStringList told;
    const GuardedApplication::Reporter heard =
        GuardedApplication::SetEscapedErrorReporter([&](const AppError& e) {
            told << e.description();
            if (told.size() < 5) QTest::mouseClick(&button, Qt::LeftButton);
        });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    GuardedApplication::SetEscapedErrorReporter(heard);
    EXPECT_EQ(told, QStringList({"[PROVA], Err.: 32755", "[PROVA], Err.: 32755"}));
}

}  // namespace
