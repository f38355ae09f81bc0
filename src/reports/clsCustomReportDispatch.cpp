// The script face of clsCustomReport, member by member in the order of its interface.
#include "reports/clsCustomReportDispatch.h"

#include <QImage>

#include "base/Dispatch.h"
#include "labels/ScriptVariablesDispatch.h"
#include "reports/clsCustomReport.h"

namespace {

using E = clsCustomReport;
using A = DispatchArgs;

DispatchParam single(const char* name) {
    return Param(QString::fromLatin1(name), VarType::Single);
}
DispatchParam optSingle(const char* name, float value = 0) {
    return OptParam(QString::fromLatin1(name), VarType::Single, Variant(value));
}
DispatchParam optBool(const char* name, bool value = false) {
    return OptParam(QString::fromLatin1(name), VarType::Boolean, Variant(value));
}
DispatchParam optText(const char* name) {
    return OptParam(QString::fromLatin1(name), VarType::String, Variant(QString()));
}
DispatchParam text(const char* name) {
    return Param(QString::fromLatin1(name), VarType::String);
}
DispatchParam refText(const char* name) {
    return RefParam(QString::fromLatin1(name), VarType::String);
}

// A loaded picture as scripts see one: its type (1, a bitmap) and its size in hundredths of a millimetre.
class Picture : public Dispatch {
  public:
    explicit Picture(const QImage& image) : Dispatch(members()), image_(image) {}

  private:
    static const DispatchClass& members() {
        static const DispatchClassOf<Picture> cls = [] {
            DispatchClassOf<Picture> c(QStringLiteral("Picture"));
            c.get(QStringLiteral("Type"), {}, [](Picture&, A&) { return int16_t(1); })
                .get(QStringLiteral("Width"), {},
                     [](Picture& p, A&) {
                         return int32_t(qRound(p.image_.width() * 100000.0 / p.image_.dotsPerMeterX()));
                     })
                .get(QStringLiteral("Height"), {}, [](Picture& p, A&) {
                    return int32_t(qRound(p.image_.height() * 100000.0 / p.image_.dotsPerMeterY()));
                });
            return c;
        }();
        return cls;
    }
    QImage image_;
};

// Nothing without a picture.
Variant PictureOf(const QImage& image) {
    return Variant(image.isNull() ? ObjectRef() : ObjectRef(std::make_shared<Picture>(image)));
}

void addSetUp(DispatchClassOf<E>& c) {
    c.method(QStringLiteral("SetParameter"),
             {RefParam(QStringLiteral("p_vntDevice")), optSingle("p_sngReportHeight"),
              optSingle("p_sngReportWidth"), optSingle("p_sngReportTop"), optSingle("p_sngReportLeft"),
              OptParam(QStringLiteral("p_intModuleColumns"), VarType::Integer, Variant(int16_t(0))),
              optSingle("p_sngReportRowsDim", 5), optSingle("p_sngReportRowsTop", 30),
              optSingle("p_sngReportRowsBottom", 30), optText("p_strBackImageFile"),
              optSingle("p_sngBottomImageBorder", 6), optText("p_strVBScript"),
              optBool("p_blnHorizontalOrientation"), optText("p_strReportGroupName")},
             [](E& e, A& a) {
                 e.SetParameter(a[0], a.single(1), a.single(2), a.single(3), a.single(4), a.integer(5),
                                a.single(6), a.single(7), a.single(8), a.string(9), a.single(10),
                                a.string(11), a.boolean(12), a.string(13));
             })
        .method(QStringLiteral("ChangePrinter"), {refText("p_strDeviceName")},
                [](E& e, A& a) { e.ChangePrinter(a.string(0)); })
        .method(QStringLiteral("InitializeVars"), {}, [](E& e, A&) { e.InitializeVars(); });
}

void addShapes(DispatchClassOf<E>& c) {
    c.method(QStringLiteral("TxtOut"),
             {single("p_sngPosY"), single("p_sngPosX"), text("p_strText"), optSingle("p_sngWrapLen"),
              optBool("p_blnMantainOriginalWrap")},
             [](E& e, A& a) {
                 return e.TxtOut(a.single(0), a.single(1), a.string(2), a.single(3), a.boolean(4));
             })
        .method(QStringLiteral("TxtOutR"), {single("p_sngPosY"), single("p_sngEndPosX"), text("p_strText")},
                [](E& e, A& a) { return e.TxtOutR(a.single(0), a.single(1), a.string(2)); })
        .method(QStringLiteral("BoxOut"),
                {single("p_sngPosY"), single("p_sngPosX"), single("p_sngDimY"), single("p_sngDimX"),
                 optBool("p_blnFill"), optBool("p_blnShadow")},
                [](E& e, A& a) {
                    e.BoxOut(a.single(0), a.single(1), a.single(2), a.single(3), a.boolean(4), a.boolean(5));
                })
        .method(QStringLiteral("PrintObject"),
                {refText("p_strClassProgrID"),
                 refText("p_strFileNameSetting"),
                 {QStringLiteral("p_strPrintMethod"), VarType::String, true, Variant(QString()), true}},
                [](E& e, A& a) { e.PrintObject(a.string(0), a.string(1), a.string(2)); })
        .method(QStringLiteral("CircleOut"),
                {single("p_sngPosY"), single("p_sngPosX"), single("p_sngRadius"), optBool("p_blnFill")},
                [](E& e, A& a) { e.CircleOut(a.single(0), a.single(1), a.single(2), a.boolean(3)); })
        .method(QStringLiteral("LineOut"),
                {single("p_sngPosY"), single("p_sngPosX"), single("p_sngToPosY"), single("p_sngToPosX")},
                [](E& e, A& a) { e.LineOut(a.single(0), a.single(1), a.single(2), a.single(3)); })
        .method(QStringLiteral("ImageOut"),
                {refText("p_strFile"), single("p_sngPosY"), single("p_sngPosX"), optSingle("p_sngDimY"),
                 optSingle("p_sngDimX"), optBool("p_blnStretch", true)},
                [](E& e, A& a) {
                    e.ImageOut(a.string(0), a.single(1), a.single(2), a.single(3), a.single(4), a.boolean(5));
                });
}

void addModules(DispatchClassOf<E>& c) {
    c.method(QStringLiteral("LoadBackImage"), {}, [](E& e, A&) { e.LoadBackImage(); })
        .method(QStringLiteral("NextReportModule"), {}, [](E& e, A&) { e.NextReportModule(); })
        .method(QStringLiteral("NextReport"), {}, [](E& e, A&) { e.NextReport(); })
        .method(QStringLiteral("NewReportRow"), {}, [](E& e, A&) { e.NewReportRow(); })
        .method(QStringLiteral("NewRow"), {}, [](E& e, A&) { e.NewRow(); })
        .method(QStringLiteral("SetFont"),
                {Param(QStringLiteral("p_intSize"), VarType::Integer), optBool("p_blnBold"),
                 optBool("p_blnItalic"), optText("p_strFontName"), optBool("p_blnUnderline")},
                [](E& e, A& a) {
                    e.SetFont(a.integer(0), a.boolean(1), a.boolean(2), a.string(3), a.boolean(4));
                })
        .method(QStringLiteral("EndReports"), {}, [](E& e, A&) { e.EndReports(); })
        .method(QStringLiteral("RowEnd"), {}, [](E& e, A&) { e.RowEnd(); })
        .let(QStringLiteral("RowPrinting"), {Param(QStringLiteral("p_blnRowPrinting"), VarType::Boolean)},
             [](E& e, A& a) { e.SetRowPrinting(a.boolean(0)); })
        .get(QStringLiteral("RowPrinting"), {}, [](E& e, A&) { return e.RowPrinting(); })
        .get(QStringLiteral("CurX"), {}, [](E& e, A&) { return e.CurX(); })
        .get(QStringLiteral("CurY"), {}, [](E& e, A&) { return e.CurY(); })
        .get(QStringLiteral("RowY"), {optBool("bAbsolute")}, [](E& e, A& a) { return e.RowY(a.boolean(0)); })
        .get(QStringLiteral("LastRow"), {}, [](E& e, A&) { return e.LastRow(); })
        .get(QStringLiteral("AvailableRowDim"), {}, [](E& e, A&) { return e.AvailableRowDim(); })
        .get(QStringLiteral("ValidateRowDim"), {}, [](E& e, A&) { return e.ValidateRowDim(); })
        .get(QStringLiteral("AvailableRowDimNext"), {}, [](E& e, A&) { return e.AvailableRowDimNext(); })
        .get(QStringLiteral("ValidateRowDimNext"), {}, [](E& e, A&) { return e.ValidateRowDimNext(); })
        .get(QStringLiteral("BackImageFile"), {}, [](E& e, A&) { return e.BackImageFile(); })
        .get(QStringLiteral("BackImage"), {}, [](E& e, A&) { return PictureOf(e.BackImage()); })
        .get(QStringLiteral("ReportModuleCount"), {}, [](E& e, A&) { return e.ReportModuleCount(); })
        .get(QStringLiteral("ReportCount"), {}, [](E& e, A&) { return e.ReportCount(); })
        .get(QStringLiteral("ReportModuleIsEmpty"), {}, [](E& e, A&) { return e.ReportModuleIsEmpty(); });
}

void addRest(DispatchClassOf<E>& c) {
    c.method(QStringLiteral("Barcode128bOut"),
             {single("p_sngPosY"), single("p_sngPosX"), single("p_sngDimY"), single("p_sngBaseBarDimX"),
              text("p_strCode")},
             [](E& e, A& a) {
                 return e.Barcode128bOut(a.single(0), a.single(1), a.single(2), a.single(3), a.string(4));
             })
        .get(QStringLiteral("VBScript"), {}, [](E& e, A&) { return e.VBScript(); })
        .method(QStringLiteral("TxtOutV"),
                {single("p_sngPosY"), single("p_sngPosX"), text("p_strText"), optBool("p_bDownToUp"),
                 optBool("p_bGrowDown")},
                [](E& e, A& a) {
                    return e.TxtOutV(a.single(0), a.single(1), a.string(2), a.boolean(3), a.boolean(4));
                })
        .get(QStringLiteral("IgnoreNextNewRow"), {}, [](E& e, A&) { return e.IgnoreNextNewRow(); })
        .let(QStringLiteral("IgnoreNextNewRow"), {RefParam(QStringLiteral("p_blnIgnore"), VarType::Boolean)},
             [](E& e, A& a) { e.SetIgnoreNextNewRow(a.boolean(0)); })
        .get(QStringLiteral("Preview"), {}, [](E& e, A&) { return e.Preview(); })
        .let(QStringLiteral("Color"), {Param(QStringLiteral("p_lngColor"), VarType::Long)},
             [](E& e, A& a) { e.SetColor(a.lng(0)); })
        .get(QStringLiteral("Color"), {}, [](E& e, A&) { return e.Color(); })
        .get(QStringLiteral("RowDim"), {}, [](E& e, A&) { return e.RowDim(); })
        .get(QStringLiteral("RowDimCur"), {}, [](E& e, A&) { return e.RowDimCur(); })
        .get(QStringLiteral("RowDimText"), {}, [](E& e, A&) { return e.RowDimText(); })
        .let(QStringLiteral("RowDimCur"), {RefParam(QStringLiteral("p_sngNewDim"), VarType::Single)},
             [](E& e, A& a) { e.SetRowDimCur(a.single(0)); })
        .get(QStringLiteral("DataReferenceName"), {}, [](E& e, A&) { return e.DataReferenceName(); })
        .method(QStringLiteral("SetDataReferenceName"), {refText("p_strName")},
                [](E& e, A& a) { e.SetDataReferenceName(a.string(0)); })
        .get(QStringLiteral("ReportGroupName"), {}, [](E& e, A&) { return e.ReportGroupName(); })
        .let(QStringLiteral("ReportGroupName"), {refText("p_strName")},
             [](E& e, A& a) { e.SetReportGroupName(a.string(0)); })
        .get(QStringLiteral("MarkOutputAreas"), {}, [](E& e, A&) { return e.MarkOutputAreas(); })
        .let(QStringLiteral("MarkOutputAreas"), {RefParam(QStringLiteral("p_blnMark"), VarType::Boolean)},
             [](E& e, A& a) { e.SetMarkOutputAreas(a.boolean(0)); });
}

}  // namespace

const DispatchClass& CustomReportMembers() {
    static const DispatchClassOf<E> cls = [] {
        DispatchClassOf<E> c(QStringLiteral("clsCustomReport"));
        addSetUp(c);
        addShapes(c);
        addModules(c);
        AddScriptVariables(c);
        addRest(c);
        return c;
    }();
    return cls;
}
