// The recording report engine and data set of the layout script tests.
#include "FakeEngines.h"

#include "base/AppError.h"

namespace vbstest {

namespace {

QString text(const DispatchArgs& a, int i) {
    if (a.isMissing(i)) return QStringLiteral("-");
    return a[i].toText();
}

QString keyOf(const Variant& key) {
    return key.toText().toLower();
}

// The parameter lists the engines share.
std::vector<DispatchParam> singles(std::initializer_list<const char*> names) {
    std::vector<DispatchParam> p;
    for (const char* n : names)
        p.push_back(Param(QString::fromLatin1(n), VarType::Single));
    return p;
}

template <class T>
void addVars(DispatchClassOf<T>& c) {
    const auto item = Param(QStringLiteral("p_vntItem"));
    c.get(QStringLiteral("Nums"), {item},
          [](T& e, DispatchArgs& a) { return e.vars.get(a[0], Variant(int16_t(0))); })
        .let(QStringLiteral("Nums"), {item, Param(QStringLiteral("vNewValue"))},
             [](T& e, DispatchArgs& a) { e.vars.let(a[0], a[1]); })
        .method(QStringLiteral("ResetVars"), {}, [](T& e, DispatchArgs&) { e.vars.reset(); });
}

// The drawing members of the report engine; each records its call and returns a width where it has one.
template <class T>
void addDrawing(DispatchClassOf<T>& c) {
    auto rec = [](const char* name, float result) {
        return [name, result](T& e, DispatchArgs& a) {
            e.record(QString::fromLatin1(name), a);
            return result;
        };
    };
    c.method(QStringLiteral("TxtOut"),
             {Param(QStringLiteral("p_sngPosY"), VarType::Single),
              Param(QStringLiteral("p_sngPosX"), VarType::Single),
              Param(QStringLiteral("p_strText"), VarType::String),
              OptParam(QStringLiteral("p_sngWrapLen"), VarType::Single),
              OptParam(QStringLiteral("p_blnMantainOriginalWrap"), VarType::Boolean)},
             rec("TxtOut", 20.5f))
        .method(QStringLiteral("TxtOutR"),
                {Param(QStringLiteral("p_sngPosY"), VarType::Single),
                 Param(QStringLiteral("p_sngEndPosX"), VarType::Single),
                 Param(QStringLiteral("p_strText"), VarType::String)},
                rec("TxtOutR", 10.0f))
        .method(QStringLiteral("TxtOutV"),
                {Param(QStringLiteral("p_sngPosY"), VarType::Single),
                 Param(QStringLiteral("p_sngPosX"), VarType::Single),
                 Param(QStringLiteral("p_strText"), VarType::String),
                 OptParam(QStringLiteral("p_bDownToUp"), VarType::Boolean),
                 OptParam(QStringLiteral("p_bBaseToLastChar"), VarType::Boolean)},
                rec("TxtOutV", 15.0f))
        .method(QStringLiteral("CircleOut"),
                {Param(QStringLiteral("p_sngPosY"), VarType::Single),
                 Param(QStringLiteral("p_sngPosX"), VarType::Single),
                 Param(QStringLiteral("p_sngRadius"), VarType::Single),
                 OptParam(QStringLiteral("p_blnFill"), VarType::Boolean)},
                rec("CircleOut", 0))
        .method(QStringLiteral("LineOut"), singles({"p_sngPosY", "p_sngPosX", "p_sngToPosY", "p_sngToPosX"}),
                rec("LineOut", 0))
        .method(QStringLiteral("ImageOut"),
                {RefParam(QStringLiteral("p_strFile"), VarType::String),
                 Param(QStringLiteral("p_sngPosY"), VarType::Single),
                 Param(QStringLiteral("p_sngPosX"), VarType::Single),
                 OptParam(QStringLiteral("p_sngDimY"), VarType::Single),
                 OptParam(QStringLiteral("p_sngDimX"), VarType::Single),
                 OptParam(QStringLiteral("p_blnStretch"), VarType::Boolean, Variant(true))},
                rec("ImageOut", 0))
        .method(QStringLiteral("Barcode128bOut"),
                {Param(QStringLiteral("p_sngPosY"), VarType::Single),
                 Param(QStringLiteral("p_sngPosX"), VarType::Single),
                 Param(QStringLiteral("p_sngDimY"), VarType::Single),
                 Param(QStringLiteral("p_sngBaseBarDimX"), VarType::Single),
                 Param(QStringLiteral("p_strCode"), VarType::String)},
                rec("Barcode128bOut", 33.0f))
        .method(QStringLiteral("SetFont"),
                {Param(QStringLiteral("p_intSize"), VarType::Integer),
                 OptParam(QStringLiteral("p_blnBold"), VarType::Boolean, Variant(false)),
                 OptParam(QStringLiteral("p_blnItalic"), VarType::Boolean, Variant(false)),
                 OptParam(QStringLiteral("p_strFontName"), VarType::String, Variant(QString())),
                 OptParam(QStringLiteral("p_blnUnderline"), VarType::Boolean, Variant(false))},
                rec("SetFont", 0))
        .let(QStringLiteral("Color"), {Param(QStringLiteral("p_lngColor"), VarType::Long)},
             [](T& e, DispatchArgs& a) {
                 e.color = a.lng(0);
                 e.record(QStringLiteral("Color"), a);
             })
        .get(QStringLiteral("Color"), {}, [](T& e, DispatchArgs&) { return e.color; })
        .get(QStringLiteral("Preview"), {}, [](T& e, DispatchArgs&) { return e.preview; })
        .method(QStringLiteral("PrintObject"),
                {RefParam(QStringLiteral("p_strClassProgrID"), VarType::String),
                 RefParam(QStringLiteral("p_strFileNameSetting"), VarType::String),
                 {QStringLiteral("p_strPrintMethod"), VarType::String, true, Variant(QString()), true}},
                [](T& e, DispatchArgs& a) {
                    e.record(QStringLiteral("PrintObject"), a);
                    if (!a.string(1).contains(u'=') && !a.string(1).contains(u' '))
                        throw AppError(
                            kAppErrorNumber, e.className(),
                            QStringLiteral("Impostazione del file fallita mediante il medoto/proprietà:\r%1")
                                .arg(a.string(1)));
                });
    c.method(QStringLiteral("BoxOut"),
             {Param(QStringLiteral("p_sngPosY"), VarType::Single),
              Param(QStringLiteral("p_sngPosX"), VarType::Single),
              Param(QStringLiteral("p_sngDimY"), VarType::Single),
              Param(QStringLiteral("p_sngDimX"), VarType::Single),
              OptParam(QStringLiteral("p_blnFill"), VarType::Boolean),
              OptParam(QStringLiteral("p_blnShadow"), VarType::Boolean)},
             rec("BoxOut", 0));
}

}  // namespace

Variant ScriptVars::get(const Variant& key, const Variant& missing) const {
    if (key.isNumeric()) {
        const int i = key.toLong();
        return i >= 1 && i <= count() ? entries_[i - 1].second : missing;
    }
    const QString k = keyOf(key);
    for (const auto& e : entries_)
        if (e.first == k) return e.second;
    return missing;
}

void ScriptVars::let(const Variant& key, const Variant& value) {
    const QString k = keyOf(key);
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->first == k) {
            entries_.erase(it);
            break;
        }
    entries_.emplace_back(k, value);
}

FakeReport::FakeReport() : Dispatch(members()) {}

void FakeReport::record(const QString& name, const DispatchArgs& args) {
    QStringList parts;
    for (int i = 0; i < args.count(); ++i)
        parts << text(args, i);
    calls << name + QLatin1Char(' ') + parts.join(u'|');
}

const DispatchClass& FakeReport::members() {
    static const DispatchClassOf<FakeReport> cls = [] {
        DispatchClassOf<FakeReport> c(QStringLiteral("clsCustomReport"));
        addDrawing(c);
        addVars(c);
        const auto flag = [](const char* name, bool FakeReport::*member) {
            return std::make_pair(QString::fromLatin1(name), member);
        };
        for (auto [name, member] : {flag("RowPrinting", &FakeReport::rowPrinting),
                                    flag("IgnoreNextNewRow", &FakeReport::ignoreNextNewRow)}) {
            c.get(name, {}, [member](FakeReport& e, DispatchArgs&) { return e.*member; })
                .let(name, {Param(QStringLiteral("value"), VarType::Boolean)},
                     [member, name](FakeReport& e, DispatchArgs& a) {
                         e.*member = a.boolean(0);
                         e.record(name, a);
                     });
        }
        c.get(QStringLiteral("LastRow"), {}, [](FakeReport& e, DispatchArgs&) { return e.lastRow; })
            .get(QStringLiteral("ReportModuleCount"), {},
                 [](FakeReport& e, DispatchArgs&) { return e.moduleCount; })
            .get(
                QStringLiteral("RowY"),
                {OptParam(QStringLiteral("bAbsolute"), VarType::Boolean, Variant(false))},
                [](FakeReport& e, DispatchArgs& a) { return a.boolean(0) || !e.rowPrinting ? 46.0f : 0.0f; });
        return c;
    }();
    return cls;
}

FakeDataSet::FakeDataSet() : Dispatch(members()) {}

Variant FakeDataSet::field(const QString& name) const {
    if (current < 0 || current >= static_cast<int>(rows.size()))
        throw AppError(kAppErrorNumber, QStringLiteral("DataSet"), QStringLiteral("Nessuna riga corrente"));
    for (const auto& f : rows[current])
        if (f.first.compare(name, Qt::CaseInsensitive) == 0) return f.second;
    throw AppError(kAppErrorNumber, QStringLiteral("DataSet"),
                   QStringLiteral("Campo inesistente: %1").arg(name));
}

const DispatchClass& FakeDataSet::members() {
    static const DispatchClassOf<FakeDataSet> cls = [] {
        DispatchClassOf<FakeDataSet> c(QStringLiteral("DataSet"));
        c.method(QStringLiteral("ColValue"), {Param(QStringLiteral("name"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) { return d.field(a.string(0)); })
            .method(QStringLiteral("FormattedColValue"), {Param(QStringLiteral("name"), VarType::String)},
                    [](FakeDataSet& d, DispatchArgs& a) {
                        return QStringLiteral("[%1]").arg(d.field(a.string(0)).toText());
                    })
            .method(QStringLiteral("GetReference"), {Param(QStringLiteral("name"), VarType::String)},
                    [](FakeDataSet& d, DispatchArgs& a) {
                        const auto r = d.references.value(a.string(0).toLower());
                        if (!r)
                            throw AppError(kAppErrorNumber, QStringLiteral("DataSet"),
                                           QStringLiteral("Riferimento inesistente"));
                        return Variant(ObjectRef(r));
                    })
            .method(QStringLiteral("RowFirst"), {}, [](FakeDataSet& d, DispatchArgs&) { d.current = 0; })
            .method(QStringLiteral("RowNext"), {}, [](FakeDataSet& d, DispatchArgs&) { ++d.current; })
            .method(QStringLiteral("RowPrevious"), {}, [](FakeDataSet& d, DispatchArgs&) { --d.current; })
            .method(QStringLiteral("RowLast"), {},
                    [](FakeDataSet& d, DispatchArgs&) { d.current = static_cast<int>(d.rows.size()) - 1; })
            .get(QStringLiteral("RowInvalid"), {},
                 [](FakeDataSet& d, DispatchArgs&) {
                     return d.current < 0 || d.current >= static_cast<int>(d.rows.size());
                 })
            .get(QStringLiteral("DataEmpty"), {},
                 [](FakeDataSet& d, DispatchArgs&) { return d.rows.empty(); })
            .method(QStringLiteral("RowCount"),
                    {OptParam(QStringLiteral("all"), VarType::Boolean, Variant(false))},
                    [](FakeDataSet& d, DispatchArgs&) { return static_cast<int32_t>(d.rows.size()); })
            .let(QStringLiteral("SortOrder"), {Param(QStringLiteral("value"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) {
                     d.sortOrder = a.string(0);
                     d.calls << QStringLiteral("SortOrder ") + d.sortOrder;
                 })
            .get(QStringLiteral("SortOrder"), {}, [](FakeDataSet& d, DispatchArgs&) { return d.sortOrder; })
            .let(QStringLiteral("Filter"), {Param(QStringLiteral("value"), VarType::String)},
                 [](FakeDataSet& d, DispatchArgs& a) {
                     d.filter = a.string(0);
                     d.calls << QStringLiteral("Filter ") + d.filter;
                 })
            .get(QStringLiteral("Filter"), {}, [](FakeDataSet& d, DispatchArgs&) { return d.filter; });
        return c;
    }();
    return cls;
}

}  // namespace vbstest
