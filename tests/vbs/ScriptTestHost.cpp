// The test host's output object, clock and prompt.
#include "ScriptTestHost.h"

#include <thread>

#include "base/AppError.h"
#include "base/DateUtil.h"

namespace vbstest {

namespace {

class Field : public Object {
  public:
    Field(Variant value, bool hasDefault) : value_(std::move(value)), hasDefault_(hasDefault) {}
    QString className() const override { return QStringLiteral("Campo"); }
    Variant invoke(const QString&, CallKind, VariantList&) override { RaiseVbError(438); }
    Variant invokeDefault(CallKind kind, VariantList& args) override {
        return hasDefault_ ? value_ : Object::invokeDefault(kind, args);
    }

  private:
    Variant value_;
    bool hasDefault_;
};

}  // namespace

Output::Output() : Dispatch(members()) {}

const DispatchClass& Output::members() {
    static const DispatchClassOf<Output> cls = [] {
        DispatchClassOf<Output> c(QStringLiteral("TestOutput"));
        c.method(QStringLiteral("Print"), {OptParam(QStringLiteral("value"))},
                 [](Output& o, DispatchArgs& a) {
                     const Variant& v = a[0];
                     if (v.isMissing())
                         o.lines << QString();
                     else if (v.isNull())
                         o.lines << QStringLiteral("<Null>");
                     else if (v.isEmpty())
                         o.lines << QStringLiteral("<Empty>");
                     else if (v.isObject())
                         o.lines << QStringLiteral("<Object %1>").arg(v.typeName());
                     else if (v.isArray())
                         o.lines << QStringLiteral("<Array>");
                     else
                         o.lines << v.toText();
                 })
            .method(QStringLiteral("Field"),
                    {Param(QStringLiteral("value")),
                     OptParam(QStringLiteral("hasDefault"), VarType::Boolean, Variant(true))},
                    [](Output&, DispatchArgs& a) {
                        return Variant(ObjectRef(std::make_shared<Field>(a[0], a.boolean(1))));
                    })
            .method(QStringLiteral("Busy"), {Param(QStringLiteral("ms"), VarType::Long)},
                    [](Output& o, DispatchArgs& a) {
                        if (std::chrono::steady_clock::now() - o.created_ > std::chrono::seconds(30))
                            RaiseVbError(17);
                        std::this_thread::sleep_for(std::chrono::milliseconds(a.integer(0)));
                    });
        return c;
    }();
    return cls;
}

FixedClock::FixedClock() : now(MakeOleDate(2024, 3, 15, 10, 30, 45)) {}

int ScriptedPrompt::MsgBox(const QString& text, int style, const QString& title) {
    shown << QStringLiteral("MsgBox|%1|%2|%3").arg(text).arg(style).arg(title);
    return msgBoxAnswer;
}

bool ScriptedPrompt::InputBox(const QString& prompt, const QString& title, const QString& defaultValue,
                              QString& value) {
    shown << QStringLiteral("InputBox|%1|%2|%3").arg(prompt, title, defaultValue);
    if (inputCancelled) return false;
    value = inputAnswer;
    return true;
}

TestHost::TestHost() : out(std::make_shared<Output>()) {
    host.SetLanguage(QStringLiteral("VBScript"));
    host.SetClock(&clock);
    host.SetPrompt(&prompt);
    host.AddObject(QStringLiteral("out"), Variant(ObjectRef(out)));
}

}  // namespace vbstest
