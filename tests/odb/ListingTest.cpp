// What the layout editors and print runs ask of tables and references: the table behind a reference,
// fields and references by name, their full names and whether their rows print as details.
#include <gtest/gtest.h>

#include "OdbTestUtil.h"
#include "base/AppError.h"
#include "odb/DataSet.h"
#include "odb/Schema.h"
#include "odb/Table.h"
#include "odb/Tables.h"
#include "support/TestEnvironment.h"

using namespace odbtest;

namespace {

class ListingTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        def = std::make_shared<TestDefinition>();
        def->record = false;
        BuildShopSchema(*def);
        o = OpenDefinition(path("ZeltoLavrix.mdb"), def, &notify);
    }
    std::shared_ptr<TestDefinition> def;
    TestNotify notify;
    Opened o;
};

TEST_F(ListingTest, ReferencesLeadToTheirTablesAndTellWhatTheirRowsAre) {
    odb::Table& commesse = o.table("Commesse");
    struct Row {
        const char* reference;
        const char* table;  // nullptr: no such reference
        bool rowSource, detailSource;
    };
    for (const Row& r :
         {Row{"Cliente", "Clienti", false, false}, Row{"dettagli", "DettagliSpeciali", true, true},
          Row{"Manca", nullptr, false, false}}) {
        SCOPED_TRACE(r.reference);
        odb::Table* target = commesse.TableForReference(QString::fromLatin1(r.reference));
        ASSERT_EQ(r.table == nullptr, target == nullptr);
        if (!target) {
            EXPECT_THROW(commesse.ReferenceByName(QString::fromLatin1(r.reference)), AppError);
            continue;
        }
        EXPECT_EQ(QString::fromLatin1(r.table), target->Name());
        const odb::ReferenceDef& ref = commesse.ReferenceByName(QString::fromLatin1(r.reference));
        EXPECT_EQ(&ref.RefTable(), target);
        EXPECT_EQ(r.rowSource, ref.RowSource());
        EXPECT_EQ(r.detailSource, ref.IsDetailSource());
    }
    EXPECT_EQ(QStringLiteral("Progressivo"), commesse.FindField(QStringLiteral("progressivo"))->Name());
    EXPECT_EQ(nullptr, commesse.FindField(QStringLiteral("Manca")));
    EXPECT_FALSE(commesse.FindField(QStringLiteral("Progressivo"))->Hidden());
}

TEST_F(ListingTest, TheLoginsAreInternalAndNeverListed) {
    EXPECT_TRUE(o.table("Commesse").IsListed());
    EXPECT_FALSE(o.table("Commesse").IsInternal());
    odb::Table& logins = o.db->Tables().Item(QStringLiteral("Connessioni"));
    EXPECT_TRUE(logins.IsInternal());
    EXPECT_FALSE(logins.IsListed());
}

}  // namespace
