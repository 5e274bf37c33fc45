// A driver the loader has no rules for (SQLite's, here with no server at all) still loads: text is
// sized by its values, since the loader cannot know what the driver's lengths count.
#include "SqlTestSupport.h"

#include <qmr41726/sql/SqlLoader.h>

using namespace qmr;

TEST(OtherDriver, driverWithoutRulesLoadsTextSizedByItsValues) {
    SqlConnection connection;
    connection.driver = "QSQLITE";
    connection.databaseName = ":memory:";
    connection.source = "sqlite-memory";
    const auto rows =
        loadSqlQuery(connection, "SELECT 'Caf\xC3\xA9 com leite' AS name UNION ALL SELECT 'Ch\xC3\xA1'");
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->text(0, 0), "Caf\xE9 com leite");
    EXPECT_EQ(rows->fieldDef(0).size, 14) << "the longest value, in characters";
}
