// The host-object binding: names without regard to case, declared parameter types converted with
// VB's rules, optional and omitted arguments, indexed properties, by-reference parameters, and the
// members' own errors passed through with their number and description.
#include <gtest/gtest.h>

#include <QHash>

#include <stdexcept>

#include "ScriptTestHost.h"
#include "base/AppError.h"
#include "base/Dispatch.h"

namespace {

using vbstest::Lines;

class Probe : public Dispatch {
  public:
    Probe() : Dispatch(members()) {}
    QStringList seen;
    QHash<QString, Variant> table;
    Variant stored;

    static const DispatchClass& members() {
        static const DispatchClassOf<Probe> cls = [] {
            DispatchClassOf<Probe> c(QStringLiteral("Probe"));
            const auto show = [](Probe& p, DispatchArgs& a) {
                QStringList parts;
                for (int i = 0; i < a.count(); ++i)
                    parts << (a.isMissing(i) ? QStringLiteral("-")
                                             : a[i].typeName() + QLatin1Char(':') + a[i].toText());
                p.seen << parts.join(QStringLiteral(", "));
            };
            c.method(
                 QStringLiteral("Typed"),
                 {Param(QStringLiteral("s"), VarType::Single), Param(QStringLiteral("i"), VarType::Integer),
                  Param(QStringLiteral("l"), VarType::Long), Param(QStringLiteral("t"), VarType::String),
                  Param(QStringLiteral("b"), VarType::Boolean)},
                 show)
                .method(
                    QStringLiteral("Box"),
                    {Param(QStringLiteral("y"), VarType::Single), Param(QStringLiteral("x"), VarType::Single),
                     Param(QStringLiteral("h"), VarType::Single), Param(QStringLiteral("w"), VarType::Single),
                     OptParam(QStringLiteral("fill"), VarType::Boolean),
                     OptParam(QStringLiteral("shadow"), VarType::Boolean, Variant(false))},
                    show)
                .method(QStringLiteral("Anything"), {OptParam(QStringLiteral("v"))}, show)
                .get(QStringLiteral("Item"), {Param(QStringLiteral("key"), VarType::String)},
                     [](Probe& p, DispatchArgs& a) {
                         return p.table.value(a.string(0).toLower(), Variant(int16_t(0)));
                     })
                .let(QStringLiteral("Item"),
                     {Param(QStringLiteral("key"), VarType::String), Param(QStringLiteral("value"))},
                     [](Probe& p, DispatchArgs& a) { p.table.insert(a.string(0).toLower(), a[1]); })
                .get(QStringLiteral("ReadOnly"), {}, [](Probe&, DispatchArgs&) { return 7; })
                .set(QStringLiteral("Target"), {Param(QStringLiteral("o"), VarType::Object)},
                     [](Probe& p, DispatchArgs& a) { p.stored = a[0]; })
                .get(QStringLiteral("Target"), {}, [](Probe& p, DispatchArgs&) { return p.stored; })
                .method(QStringLiteral("Double"), {RefParam(QStringLiteral("n"), VarType::Long)},
                        [](Probe&, DispatchArgs& a) { a.ref(0) = Variant(a.lng(0) * 2); })
                .method(QStringLiteral("Peek"), {Param(QStringLiteral("n"), VarType::Long)},
                        [](Probe&, DispatchArgs& a) { a.ref(0) = Variant(int32_t(0)); })
                .method(QStringLiteral("Refuse"), {},
                        [](Probe&, DispatchArgs&) {
                            throw AppError(vbObjectError + 1001, QStringLiteral("Motore"),
                                           QStringLiteral("Rifiutato"));
                        })
                .method(QStringLiteral("Crash"), {},
                        [](Probe&, DispatchArgs&) { throw std::runtime_error("guasto"); });
            c.setDefaultMember(QStringLiteral("Item"));
            return c;
        }();
        return cls;
    }
};

struct ProbeHost : vbstest::TestHost {
    ProbeHost() { host.AddObject(QStringLiteral("p"), Variant(ObjectRef(probe))); }
    std::shared_ptr<Probe> probe = std::make_shared<Probe>();

    int errorOf(const QString& code) {
        try {
            host.AddCode(code);
        } catch (const AppError& e) {
            return e.number();
        }
        return 0;
    }
};

TEST(Dispatch, ArgumentsAreConvertedToTheDeclaredTypes) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("p.Typed \"12,5\", 2.5, 3.5, 42, \"True\"\n"
                       "p.TYPED True, \"7\", #1/2/2024#, Null & \"\", 0\n"
                       "p.typed 1e3, -2.5, 2147483647, 1.5, \"falso\""));
    const QStringList expected = {
        QStringLiteral("Single:12,5, Integer:2, Long:4, String:42, Boolean:True"),
        QStringLiteral("Single:-1, Integer:7, Long:45293, String:, Boolean:False"),
        QStringLiteral("Single:1000, Integer:-2, Long:2147483647, String:1,5, Boolean:False"),
    };
    EXPECT_EQ(Lines(expected), Lines(t.probe->seen));
}

TEST(Dispatch, ConversionFailuresRaiseVbErrors) {
    struct Row {
        const char* code;
        int error;
    };
    const Row rows[] = {
        {"p.Typed \"abc\", 1, 1, \"\", True", 13},
        {"p.Typed 1, 40000, 1, \"\", True", 6},
        {"p.Typed Null, 1, 1, \"\", True", 94},
        {"p.Typed 1, 1, 1, Null, True", 94},
        {"p.Typed 1, 1, 1, \"\", \"forse\"", 13},
        {"p.Typed 1, 1, 1, \"\"", 449},
        {"p.Typed 1, , 1, \"\", True", 449},
        {"p.Typed 1, 1, 1, \"\", True, 6", 450},
        {"p.Nope", 438},
        {"p.ReadOnly = 3", 450},
        {"Set p.Target = 5", 424},
        {"x = p.Item(\"a\", \"b\")", 450},
    };
    for (const Row& r : rows) {
        ProbeHost t;
        EXPECT_EQ(r.error, t.errorOf(QString::fromLatin1(r.code))) << r.code;
        EXPECT_TRUE(t.probe->seen.isEmpty()) << r.code;
    }
}

TEST(Dispatch, OptionalArgumentsMayBeOmittedAnywhere) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("p.Box 1, 2, 3, 4, , True\n"
                       "p.Box 1, 2, 3, 4\n"
                       "p.Box 1, 2, 3, 4, True\n"
                       "x = p.Box(1, 2, 3, 4, , )\n"
                       "p.Anything\n"));
    const QStringList expected = {
        QStringLiteral("Single:1, Single:2, Single:3, Single:4, -, Boolean:True"),
        QStringLiteral("Single:1, Single:2, Single:3, Single:4, -, Boolean:False"),
        QStringLiteral("Single:1, Single:2, Single:3, Single:4, Boolean:True, Boolean:False"),
        QStringLiteral("Single:1, Single:2, Single:3, Single:4, -, Boolean:False"),
        QStringLiteral("-"),
    };
    EXPECT_EQ(Lines(expected), Lines(t.probe->seen));
}

TEST(Dispatch, IndexedPropertiesReadAndWrite) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("p.Item(\"k\") = p.Item(\"K\") + 1\n"
                       "p.Item(\"k\") = p.Item(\"k\") + 1\n"
                       "p(\"name\") = \"via default\"\n"
                       "out.Print p.item(\"k\") & \" \" & p(\"NAME\") & \" \" & p.Item(\"none\")"));
    EXPECT_EQ(QStringList{QStringLiteral("2 via default 0")}, t.out->lines);
}

TEST(Dispatch, ObjectsAreSetAndChainedCallsWork) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("Set p.Target = out\n"
                       "p.Target.Print \"through the chain\"\n"
                       "Set o = p.Target\n"
                       "out.Print o Is out"));
    EXPECT_EQ(Lines({QStringLiteral("through the chain"), QStringLiteral("True")}), Lines(t.out->lines));
}

TEST(Dispatch, ByReferenceParametersWriteBackToVariables) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("n = 21\np.Double n\nout.Print n\n"
                       "m = 5\np.Double (m)\nout.Print m\n"
                       "k = 9\np.Peek k\nout.Print k"));
    // A parameter not declared by reference leaves the caller's variable alone.
    EXPECT_EQ(Lines({QStringLiteral("42"), QStringLiteral("5"), QStringLiteral("9")}), Lines(t.out->lines));
}

TEST(Dispatch, MemberErrorsKeepTheirNumberDescriptionAndSource) {
    ProbeHost t;
    t.host.AddCode(
        QStringLiteral("On Error Resume Next\np.Refuse\nout.Print Err.Number - vbObjectError & \"|\" & "
                       "Err.Description & \"|\" & Err.Source\n"
                       "Err.Clear\np.Crash\nout.Print Err.Number & \"|\" & Err.Description"));
    // Any other exception is the C++ library's, whose English words the script never sees.
    EXPECT_EQ(Lines({QStringLiteral("1001|Rifiutato|Motore"),
                     QStringLiteral("440|Operazione non riuscita: errore interno del programma.")}),
              Lines(t.out->lines));
}

TEST(Dispatch, DirectCallsFromCpp) {
    Probe probe;
    VariantList args{Variant(int32_t(4))};
    probe.invoke(QStringLiteral("double"), CallKind::Method, args);
    EXPECT_EQ(8, args[0].toLong());
    VariantList none;
    EXPECT_EQ(7, probe.invoke(QStringLiteral("readonly"), CallKind::Method, none).toLong());
    EXPECT_EQ(QStringLiteral("Probe"), probe.className());
    try {
        probe.invoke(QStringLiteral("Missing"), CallKind::PropertyGet, none);
        ADD_FAILURE();
    } catch (const AppError& e) {
        EXPECT_EQ(438, e.number());
        EXPECT_EQ(QStringLiteral("Probe"), e.source());
    }
}

}  // namespace
