// Functions between texts and arrays (Split, Join, Filter) and Array(). Arrays made here are
// one-dimensional from 0. UBound and LBound read the variable itself: the interpreter has them.
#include <QString>

#include "base/AppError.h"
#include "base/VArray.h"
#include "vbs/BuiltinArgs.h"
#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

Qt::CaseSensitivity caseOf(bool textCompare) {
    return textCompare ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// The one-dimensional array an argument must hold (13 otherwise).
const VArray& listArg(const VariantList& args, size_t i) {
    const Variant& v = args[i];
    if (!v.isArray() || v.arrayValue()->dimensions() != 1) RaiseVbError(13);
    return *v.arrayValue();
}

Variant Split(BuiltinContext& ctx, VariantList& args) {
    const QString expr = StringArg(args, 0);
    const QString delim = StringArg(args, 1, QStringLiteral(" "));
    const int32_t count = LongArg(args, 2, -1);
    const bool text = TextCompareArg(args, 3);
    if (count < -1) RaiseInvalidArgument();
    VariantList parts;
    if (!expr.isEmpty() && count != 0) {
        qsizetype pos = 0;
        if (!delim.isEmpty()) {
            while (count == -1 || static_cast<int32_t>(parts.size()) < count - 1) {
                const qsizetype hit = expr.indexOf(delim, pos, caseOf(text));
                if (hit < 0) break;
                // A text of separators makes an element of each: they outweigh the text by far.
                if (parts.size() % 4096 == 0) CheckArrayLength(ctx, qint64(parts.size()) + 4096);
                parts.emplace_back(expr.mid(pos, hit - pos));
                pos = hit + delim.size();
            }
        }
        parts.emplace_back(expr.mid(pos));
    }
    return Variant(VArray::fromList(std::move(parts)));
}

Variant Join(BuiltinContext& ctx, VariantList& args) {
    if (!HasArg(args, 0)) RaiseVbError(449);
    const VArray& list = listArg(args, 0);
    const QString delim = StringArg(args, 1, QStringLiteral(" "));
    QString out;
    bool first = true;
    for (const Variant& item : list.data()) {
        if (item.isNull()) RaiseVbError(94);
        const QString text = item.toString();
        CheckTextLength(ctx, qint64(out.size()) + (first ? 0 : delim.size()) + text.size());
        if (!first) out += delim;
        first = false;
        out += text;
    }
    return Variant(std::move(out));
}

// Filter(strings, value[, include[, compare]]): the items that hold (or, with include False, lack) value.
Variant Filter(BuiltinContext&, VariantList& args) {
    if (!HasArg(args, 0)) RaiseVbError(449);
    if (args[0].isNull()) RaiseVbError(94);
    const VArray& list = listArg(args, 0);
    const QString value = StringArg(args, 1);
    bool include = true;
    if (HasArg(args, 2)) {
        const Variant v = ArgValue(args, 2);
        if (v.isNull()) RaiseVbError(94);
        include = v.toBool();
    }
    const bool text = TextCompareArg(args, 3);
    VariantList kept;
    for (const Variant& item : list.data()) {
        if (item.isNull()) RaiseVbError(94);
        const QString s = item.toString();
        if (s.contains(value, caseOf(text)) == include) kept.emplace_back(s);
    }
    return Variant(VArray::fromList(std::move(kept)));
}

Variant Array(BuiltinContext&, VariantList& args) {
    return Variant(VArray::fromList(args));
}

}  // namespace

void AddArrayBuiltins(std::vector<BuiltinDef>& table) {
    table.insert(table.end(), {
                                  {"Split", 1, 4, Split},
                                  {"Join", 1, 2, Join},
                                  {"Filter", 2, 4, Filter},
                                  {"Array", 0, -1, Array},
                              });
}

}  // namespace vbs
