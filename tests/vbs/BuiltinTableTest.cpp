// The built-in functions' table; their results are checked by the script cases under scripts/builtins.
#include <gtest/gtest.h>

#include <QSet>

#include "vbs/Builtins.h"

namespace {

TEST(BuiltinTable, NamesAreUniqueFoundInAnyCaseAndNoConstant) {
    QSet<QString> names;
    for (const vbs::BuiltinDef& def : vbs::Builtins()) {
        const QString lower = QString::fromLatin1(def.name).toLower();
        EXPECT_FALSE(names.contains(lower)) << def.name;
        names.insert(lower);
        EXPECT_EQ(vbs::FindBuiltin(QString::fromLatin1(def.name).toUpper()), &def);
        EXPECT_GE(def.minArgs, 0) << def.name;
        EXPECT_TRUE(def.maxArgs == -1 || def.maxArgs >= def.minArgs) << def.name;
        EXPECT_EQ(vbs::FindBuiltinConstant(lower), nullptr) << def.name;
    }
}

}  // namespace
