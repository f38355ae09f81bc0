// The same loop of string and arithmetic work in the script engine and in Lua 5.4, and the cost of
// loading a layout and of one host-member call.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include "base/Dispatch.h"
#include "vbs/ScriptHost.h"

namespace {

constexpr int kIterations = 100000;

const char* const kVbsWork =
    "Function Work(n)\n"
    "  Dim i, s, total\n"
    "  total = 0\n"
    "  s = \"\"\n"
    "  For i = 1 To n\n"
    "    total = total + (i * 3) Mod 7\n"
    "    s = s & Chr(65 + i Mod 26)\n"
    "    If Len(s) > 50 Then s = Mid(s, 10)\n"
    "  Next\n"
    "  Work = total + Len(s)\n"
    "End Function\n";

const char* const kLuaWork =
    "function work(n)\n"
    "  local total = 0\n"
    "  local s = \"\"\n"
    "  for i = 1, n do\n"
    "    total = total + (i * 3) % 7\n"
    "    s = s .. string.char(65 + i % 26)\n"
    "    if #s > 50 then s = string.sub(s, 10) end\n"
    "  end\n"
    "  return total + #s\n"
    "end\n";

void BM_VbsStringAndArithmetic(benchmark::State& state) {
    vbs::ScriptHost host;
    host.SetTimeout(0);
    host.AddCode(QString::fromLatin1(kVbsWork));
    for (auto _ : state) {
        VariantList args{Variant(int32_t(kIterations))};
        benchmark::DoNotOptimize(host.Run(QStringLiteral("Work"), args));
    }
    state.SetItemsProcessed(state.iterations() * kIterations);
}
BENCHMARK(BM_VbsStringAndArithmetic)->Unit(benchmark::kMillisecond);

void BM_LuaStringAndArithmetic(benchmark::State& state) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    luaL_dostring(L, kLuaWork);
    for (auto _ : state) {
        lua_getglobal(L, "work");
        lua_pushinteger(L, kIterations);
        lua_call(L, 1, 1);
        benchmark::DoNotOptimize(lua_tointeger(L, -1));
        lua_pop(L, 1);
    }
    lua_close(L);
    state.SetItemsProcessed(state.iterations() * kIterations);
}
BENCHMARK(BM_LuaStringAndArithmetic)->Unit(benchmark::kMillisecond);

// A label script of the usual size, loaded as a print run loads it.
void BM_VbsLoadLayout(benchmark::State& state) {
    QString code = QStringLiteral("Dim nCount\n");
    for (int f = 0; f < 20; ++f)
        code += QStringLiteral(
                    "Function Part%1(ds, prn)\n  Dim s\n  s = \"Campo\" & %1\n"
                    "  If Len(s) > 3 Then s = UCase(s) Else s = LCase(s)\n"
                    "  nCount = nCount + 1\n  Part%1 = s & nCount\nEnd Function\n")
                    .arg(f);
    for (auto _ : state) {
        vbs::ScriptHost host;
        host.AddCode(code);
        benchmark::DoNotOptimize(host.Error().Number);
    }
}
BENCHMARK(BM_VbsLoadLayout)->Unit(benchmark::kMicrosecond);

class Engine : public Dispatch {
  public:
    Engine() : Dispatch(members()) {}
    float sum = 0;
    static const DispatchClass& members() {
        static const DispatchClassOf<Engine> cls = [] {
            DispatchClassOf<Engine> c(QStringLiteral("Engine"));
            c.method(
                QStringLiteral("TxtOut"),
                {Param(QStringLiteral("y"), VarType::Single), Param(QStringLiteral("x"), VarType::Single),
                 Param(QStringLiteral("t"), VarType::String), OptParam(QStringLiteral("w"), VarType::Single)},
                [](Engine& e, DispatchArgs& a) {
                    e.sum += a.single(0) + a.single(1);
                    return e.sum;
                });
            return c;
        }();
        return cls;
    }
};

// Host-member calls, the inner loop of a label: prn.TxtOut y, x, text.
void BM_VbsHostMemberCalls(benchmark::State& state) {
    vbs::ScriptHost host;
    host.SetTimeout(0);
    host.AddObject(QStringLiteral("prn"), Variant(ObjectRef(std::make_shared<Engine>())));
    host.AddCode(
        QStringLiteral("Sub Draw(n)\n  For i = 1 To n\n    prn.TxtOut i, 2.5, \"testo\"\n  Next\nEnd Sub"));
    for (auto _ : state) {
        VariantList args{Variant(int32_t(10000))};
        host.Run(QStringLiteral("Draw"), args);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_VbsHostMemberCalls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
