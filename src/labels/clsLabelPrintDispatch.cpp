// The script face of clsLabelPrint, member by member in the order of its interface.
#include "labels/clsLabelPrintDispatch.h"

#include "base/Dispatch.h"
#include "labels/ScriptVariablesDispatch.h"
#include "labels/clsLabelPrint.h"

namespace {

using E = clsLabelPrint;
using A = DispatchArgs;

DispatchParam single(const char* name) {
    return Param(QString::fromLatin1(name), VarType::Single);
}
DispatchParam optSingle(const char* name) {
    return OptParam(QString::fromLatin1(name), VarType::Single, Variant(0.0f));
}
DispatchParam optBool(const char* name, bool value = false) {
    return OptParam(QString::fromLatin1(name), VarType::Boolean, Variant(value));
}
DispatchParam text(const char* name) {
    return Param(QString::fromLatin1(name), VarType::String);
}

}  // namespace

const DispatchClass& LabelPrintMembers() {
    static const DispatchClassOf<E> cls = [] {
        DispatchClassOf<E> c(QStringLiteral("clsLabelPrint"));
        c.method(QStringLiteral("SetParameter"),
                 {RefParam(QStringLiteral("p_vntDevice")), optSingle("p_sngLabelHeight"),
                  optSingle("p_sngLabelWidth"), optSingle("p_sngLabelTop"), optSingle("p_sngLabelLeft"),
                  OptParam(QStringLiteral("p_intModuleColumns"), VarType::Integer, Variant(int16_t(0))),
                  optBool("p_blnAutoEndDocument", true), optBool("p_blnHorizontalOrientation")},
                 [](E& e, A& a) {
                     e.SetParameter(a[0], a.single(1), a.single(2), a.single(3), a.single(4), a.integer(5),
                                    a.boolean(6), a.boolean(7));
                 })
            .method(QStringLiteral("TxtOut"),
                    {single("p_sngPosY"), single("p_sngPosX"), text("p_strText"), optSingle("p_sngWrapLen"),
                     optBool("p_blnMantainOriginalWrap")},
                    [](E& e, A& a) {
                        return e.TxtOut(a.single(0), a.single(1), a.string(2), a.single(3), a.boolean(4));
                    })
            .method(QStringLiteral("TxtOutR"),
                    {single("p_sngPosY"), single("p_sngEndPosX"), text("p_strText")},
                    [](E& e, A& a) { return e.TxtOutR(a.single(0), a.single(1), a.string(2)); })
            .method(QStringLiteral("BoxOut"),
                    {single("p_sngPosY"), single("p_sngPosX"), single("p_sngDimY"), single("p_sngDimX"),
                     optBool("p_blnFill")},
                    [](E& e, A& a) {
                        e.BoxOut(a.single(0), a.single(1), a.single(2), a.single(3), a.boolean(4));
                    })
            .method(QStringLiteral("CircleOut"),
                    {single("p_sngPosY"), single("p_sngPosX"), single("p_sngRadius"), optBool("p_blnFill")},
                    [](E& e, A& a) { e.CircleOut(a.single(0), a.single(1), a.single(2), a.boolean(3)); })
            .method(QStringLiteral("LineOut"),
                    {single("p_sngPosY"), single("p_sngPosX"), single("p_sngToPosY"), single("p_sngToPosX")},
                    [](E& e, A& a) { e.LineOut(a.single(0), a.single(1), a.single(2), a.single(3)); })
            .method(QStringLiteral("ImageOut"),
                    {RefParam(QStringLiteral("p_strFile"), VarType::String), single("p_sngPosY"),
                     single("p_sngPosX"), optSingle("p_sngDimY"), optSingle("p_sngDimX"),
                     optBool("p_blnStretch", true)},
                    [](E& e, A& a) {
                        e.ImageOut(a.string(0), a.single(1), a.single(2), a.single(3), a.single(4),
                                   a.boolean(5));
                    })
            .method(QStringLiteral("Barcode128bOut"),
                    {single("p_sngPosY"), single("p_sngPosX"), single("p_sngDimY"),
                     single("p_sngBaseBarDimX"), text("p_strCode")},
                    [](E& e, A& a) {
                        return e.Barcode128bOut(a.single(0), a.single(1), a.single(2), a.single(3),
                                                a.string(4));
                    })
            .method(QStringLiteral("NextLabel"), {}, [](E& e, A&) { e.NextLabel(); })
            .method(QStringLiteral("SetFont"),
                    {Param(QStringLiteral("p_intSize"), VarType::Integer), optBool("p_blnBold"),
                     optBool("p_blnItalic"),
                     OptParam(QStringLiteral("p_strFontName"), VarType::String, Variant(QString())),
                     optBool("p_blnUnderline")},
                    [](E& e, A& a) {
                        e.SetFont(a.integer(0), a.boolean(1), a.boolean(2), a.string(3), a.boolean(4));
                    })
            .method(QStringLiteral("TxtOutV"),
                    {single("p_sngPosY"), single("p_sngPosX"), text("p_strText"), optBool("p_bDownToUp"),
                     optBool("p_bBaseToLastChar")},
                    [](E& e, A& a) {
                        return e.TxtOutV(a.single(0), a.single(1), a.string(2), a.boolean(3), a.boolean(4));
                    })
            .method(QStringLiteral("ForceEndDocument"), {}, [](E& e, A&) { e.ForceEndDocument(); })
            .get(QStringLiteral("PageLabelCount"), {}, [](E& e, A&) { return e.PageLabelCount(); })
            .method(QStringLiteral("EndLabels"), {}, [](E& e, A&) { e.EndLabels(); })
            .let(QStringLiteral("Color"), {Param(QStringLiteral("p_lngColor"), VarType::Long)},
                 [](E& e, A& a) { e.SetColor(a.lng(0)); })
            .get(QStringLiteral("Color"), {}, [](E& e, A&) { return e.Color(); })
            .get(QStringLiteral("IgnoreLabel"), {}, [](E& e, A&) { return e.IgnoreLabel(); })
            .let(QStringLiteral("IgnoreLabel"), {Param(QStringLiteral("p_blnValue"), VarType::Boolean)},
                 [](E& e, A& a) { e.SetIgnoreLabel(a.boolean(0)); })
            .method(QStringLiteral("PrintObject"),
                    {RefParam(QStringLiteral("p_strClassProgrID"), VarType::String),
                     RefParam(QStringLiteral("p_strFileNameSetting"), VarType::String),
                     {QStringLiteral("p_strPrintMethod"), VarType::String, true, Variant(QString()), true}},
                    [](E& e, A& a) { e.PrintObject(a.string(0), a.string(1), a.string(2)); })
            .get(QStringLiteral("Preview"), {}, [](E& e, A&) { return e.Preview(); });
        AddScriptVariables(c);
        c.get(QStringLiteral("CopyCount"), {}, [](E& e, A&) { return e.CopyCount(); })
            .let(QStringLiteral("CopyCount"), {Param(QStringLiteral("p_nValue"), VarType::Integer)},
                 [](E& e, A& a) { e.SetCopyCount(a.integer(0)); })
            .method(QStringLiteral("NextCopy"), {}, [](E& e, A&) { return e.NextCopy(); });
        return c;
    }();
    return cls;
}
