// The table of built-in functions and the look-up by name, case-insensitively.
#include "vbs/Builtins.h"

#include <QHash>

#include "vbs/BuiltinFamilies.h"

namespace vbs {

namespace {

std::vector<BuiltinDef> buildTable() {
    std::vector<BuiltinDef> table;
    AddStringBuiltins(table);
    AddArrayBuiltins(table);
    AddCharacterBuiltins(table);
    AddConversionBuiltins(table);
    AddMathBuiltins(table);
    AddDateBuiltins(table);
    AddDateMathBuiltins(table);
    AddFormattingBuiltins(table);
    AddTypeInfoBuiltins(table);
    AddPromptBuiltins(table);
    return table;
}

const QHash<QString, const BuiltinDef*>& byName() {
    static const QHash<QString, const BuiltinDef*> index = [] {
        QHash<QString, const BuiltinDef*> h;
        for (const BuiltinDef& def : Builtins())
            h.insert(QString::fromLatin1(def.name).toLower(), &def);
        return h;
    }();
    return index;
}

}  // namespace

const std::vector<BuiltinDef>& Builtins() {
    static const std::vector<BuiltinDef> table = buildTable();
    return table;
}

const BuiltinDef* FindBuiltin(const QString& name) {
    return byName().value(name.toLower(), nullptr);
}

const Variant* FindBuiltinConstant(const QString& name) {
    return FindConstant(name.toLower());
}

}  // namespace vbs
