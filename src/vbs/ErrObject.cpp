// ErrObject: what On Error Resume Next leaves behind, and Err.Raise.
#include "vbs/ErrObject.h"

#include "vbs/CompileError.h"

namespace vbs {

ErrObject::ErrObject() : Dispatch(members()) {}

void ErrObject::set(const AppError& e) {
    number_ = e.number();
    description_ = e.description();
    source_ = e.source().isEmpty() ? QString::fromLatin1(kRuntimeSource) : e.source();
    helpFile_ = e.helpFile();
    helpContext_ = e.helpContext();
}

void ErrObject::clear() {
    number_ = 0;
    description_.clear();
    source_.clear();
    helpFile_.clear();
    helpContext_ = 0;
}

const DispatchClass& ErrObject::members() {
    static const DispatchClassOf<ErrObject> cls = [] {
        DispatchClassOf<ErrObject> c(QStringLiteral("ErrObject"));
        c.get(QStringLiteral("Number"), {}, [](ErrObject& e, DispatchArgs&) { return Variant(e.number_); })
            .let(QStringLiteral("Number"), {Param(QStringLiteral("value"), VarType::Long)},
                 [](ErrObject& e, DispatchArgs& a) { e.number_ = a.lng(0); })
            .get(QStringLiteral("Description"), {},
                 [](ErrObject& e, DispatchArgs&) { return Variant(e.description_); })
            .let(QStringLiteral("Description"), {Param(QStringLiteral("value"), VarType::String)},
                 [](ErrObject& e, DispatchArgs& a) { e.description_ = a.string(0); })
            .get(QStringLiteral("Source"), {}, [](ErrObject& e, DispatchArgs&) { return Variant(e.source_); })
            .let(QStringLiteral("Source"), {Param(QStringLiteral("value"), VarType::String)},
                 [](ErrObject& e, DispatchArgs& a) { e.source_ = a.string(0); })
            .get(QStringLiteral("HelpFile"), {},
                 [](ErrObject& e, DispatchArgs&) { return Variant(e.helpFile_); })
            .let(QStringLiteral("HelpFile"), {Param(QStringLiteral("value"), VarType::String)},
                 [](ErrObject& e, DispatchArgs& a) { e.helpFile_ = a.string(0); })
            .get(QStringLiteral("HelpContext"), {},
                 [](ErrObject& e, DispatchArgs&) { return Variant(e.helpContext_); })
            .let(QStringLiteral("HelpContext"), {Param(QStringLiteral("value"), VarType::Long)},
                 [](ErrObject& e, DispatchArgs& a) { e.helpContext_ = a.lng(0); })
            .method(QStringLiteral("Clear"), {}, [](ErrObject& e, DispatchArgs&) { e.clear(); })
            .method(QStringLiteral("Raise"),
                    {Param(QStringLiteral("number"), VarType::Long),
                     OptParam(QStringLiteral("source"), VarType::String),
                     OptParam(QStringLiteral("description"), VarType::String),
                     OptParam(QStringLiteral("helpfile"), VarType::String),
                     OptParam(QStringLiteral("helpcontext"), VarType::Long)},
                    [](ErrObject&, DispatchArgs& a) {
                        const int32_t n = a.lng(0);
                        if (n == 0) throw AppError(5, QString(), ScriptErrorText(5));
                        throw AppError(n, a.isMissing(1) ? QString() : a.string(1),
                                       a.isMissing(2) ? ScriptErrorText(n) : a.string(2),
                                       a.isMissing(3) ? QString() : a.string(3),
                                       a.isMissing(4) ? 0 : a.lng(4));
                    });
        c.setDefaultMember(QStringLiteral("Number"));
        return c;
    }();
    return cls;
}

}  // namespace vbs
