// The shop floor of the commands' tests.
#include "ShopFloorFixture.h"

#include "model/ModelState.h"

void ShopFloorFixture::SetUp() {
    StepRoadFixture::SetUp();
    for (const auto& [code, name] : {std::pair{"0012", "Rossi Mario"}, std::pair{"0013", "Bianchi Luca"}})
        ASSERT_TRUE(rows("Operai")->AddRow({"Codice", code, "Nominativo", name, "Manzione", "T1"}));
    notify.clear();
}

WorkingHours ShopFloorFixture::normalHours() {
    return {DefaultOraEntrataMattino(), DefaultOraUscitaMattino(), DefaultOraEntrataPomeriggio(),
            DefaultOraUscitaPomeriggio()};
}

ShopFloorContext ShopFloorFixture::context(const QString& code, const WorkingHours& hours) {
    ShopFloorContext c = ShopFloorContext::Current(code);
    c.hours = hours;
    c.tell = [this](const ShopFloorMessage& m) {
        const char* mark = m.icon == ShopFloorMessage::Icon::Warning ? "!"
                           : m.icon == ShopFloorMessage::Icon::Error ? "x"
                                                                     : "i";
        notify.messages << QString(mark) + " " + m.text;
    };
    c.progress = this;
    return c;
}
