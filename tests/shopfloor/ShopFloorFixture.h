// A shop floor for the commands' tests: the database with workers 0012 and 0013 and the normal
// working hours, contexts whose messages land, in order, in the list of the library's own, and a
// group close's progress recorded.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "model/StepRoadFixture.h"
#include "shopfloor/ShopFloorContext.h"
#include "shopfloor/ShopFloorProgress.h"

class ShopFloorFixture : public StepRoadFixture, public ShopFloorProgress {
  protected:
    void SetUp() override;

    // The context of worker `code` at the clock's time with `hours`: what it says is appended to
    // notify.messages as "!" (warning), "x" (error) or "i" (information) and the text.
    ShopFloorContext context(const QString& code, const WorkingHours& hours = normalHours());
    static WorkingHours normalHours();

    void Begin(const QString& text) override { progress << "begin " + text; }
    void Start(int32_t steps) override { progress << QString("start %1").arg(steps); }
    void Step() override {
        progress << "step";
        if (onStep) onStep();
    }
    void End() override { progress << "end"; }
    QStringList progress;
    std::function<void()> onStep;  // runs at each step of a group close, inside its transaction
};
