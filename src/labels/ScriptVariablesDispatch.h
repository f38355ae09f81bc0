// The script members over a print engine's variables (Vars, Nums, Strs, VarsCount, ResetVars),
// the same on the label engine and the report engine.
#pragma once

#include <QString>

#include "base/Dispatch.h"

template <class E>
void AddScriptVariables(DispatchClassOf<E>& c) {
    using A = DispatchArgs;
    const DispatchParam item = Param(QStringLiteral("p_vntItem"));
    const DispatchParam value = Param(QStringLiteral("vNewValue"));
    auto let = [](E& e, A& a) { e.Vars().let(a[0], a[1]); };
    c.get(QStringLiteral("Vars"), {item}, [](E& e, A& a) { return e.Vars().get(a[0], Variant()); })
        .let(QStringLiteral("Vars"), {item, value}, let)
        .get(QStringLiteral("Nums"), {item},
             [](E& e, A& a) { return e.Vars().get(a[0], Variant(int16_t(0))); })
        .let(QStringLiteral("Nums"), {item, value}, let)
        .get(QStringLiteral("Strs"), {item},
             [](E& e, A& a) { return e.Vars().get(a[0], Variant(QString())); })
        .let(QStringLiteral("Strs"), {item, value}, let)
        .get(QStringLiteral("VarsCount"), {}, [](E& e, A&) { return int16_t(e.Vars().count()); })
        .method(QStringLiteral("ResetVars"), {}, [](E& e, A&) { e.ResetVars(); });
}
