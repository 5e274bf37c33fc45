// The state a repeated run puts back before each call, tested directly on data sets left the ways a
// search leaves them: the next call must find the data set exactly as it was loaded.
#include "LoadedState.h"
#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

#include <gtest/gtest.h>

#include <functional>

using namespace qmr;

namespace {

std::shared_ptr<const TColumnStore> products() {
    return makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 20),
                      fieldDef("GRUPO", TFieldType::ftString, 5)},
                     {{1LL, "banana", "F"},
                      {2LL, "Abacate", "F"},
                      {3LL, "ovo", "X"},
                      {4LL, "abacaxi", "F"},
                      {5LL, "Banana", "L"}});
}

/// Everything the next call can see of the data set, as text.
std::string seen(const TDataSet& dataSet) {
    std::string out = dataSet.filter() + "|" + (dataSet.filtered() ? "on" : "off") + "|";
    if (const auto* client = dynamic_cast<const TClientDataSet*>(&dataSet)) {
        out += client->indexName() + "|";
        for (int i = 0; i < client->indexDefs().count(); ++i)
            out += client->indexDefs().item(i).name() + "=" + client->indexDefs().item(i).fields() + ";";
    }
    out += "|rows:";
    for (int row = 0; row < dataSet.recordCount(); ++row)
        out += dataSet.text(row, 0) + ",";
    return out + "|at " + std::to_string(dataSet.recNo());
}

/// What a search does to the data set, as the screen does it: its own index definitions, the
/// search column's index, the search's filter, and a row chosen.
void searchAndChoose(TDataSet& dataSet, const std::string& filter) {
    if (auto* client = dynamic_cast<TClientDataSet*>(&dataSet)) {
        while (client->indexDefs().count() > 0)
            client->indexDefs().remove(0);
        client->indexDefs().add("CODIGO", "CODIGO", 0);
        client->indexDefs().add("NOME", "NOME", 0);
        client->setIndexName("NOME");
    }
    dataSet.setFilter(filter);
    dataSet.setFiltered(true);
    dataSet.last();
}

} // namespace

TEST(LoadedState, restoreUndoesWhatASearchLeavesWhateverTheDataSetWasLoadedWith) {
    const struct {
        const char* what;
        bool client;
        std::function<void(TDataSet&)> load;
        std::function<void(TDataSet&)> call;
    } cases[] = {
        {"no filter, Enter on a search", true, [](TDataSet&) {},
         [](TDataSet& d) { searchAndChoose(d, "UPPER(NOME) LIKE 'BA%'"); }},
        {"a base filter on, Enter on a search within it", true,
         [](TDataSet& d) {
             d.setFilter("GRUPO = 'F'");
             d.setFiltered(true);
         },
         [](TDataSet& d) { searchAndChoose(d, "GRUPO = 'F' AND UPPER(NOME) LIKE 'A%'"); }},
        {"a filter text left off, Exit putting it back with Filtered switched on", true,
         [](TDataSet& d) { d.setFilter("GRUPO = 'X'"); },
         [](TDataSet& d) {
             searchAndChoose(d, "UPPER(NOME) LIKE 'O%'");
             d.setFilter("GRUPO = 'X'");
         }},
        {"the host's own index definition, index and row", true,
         [](TDataSet& d) {
             auto& client = dynamic_cast<TClientDataSet&>(d);
             client.indexDefs().add("PorGrupo", "GRUPO;CODIGO", 0);
             client.setIndexName("PorGrupo");
             d.setFilter("CODIGO > 1");
             d.setFiltered(true);
             d.setRecNo(3);
         },
         [](TDataSet& d) { searchAndChoose(d, "UPPER(NOME) LIKE 'A%'"); }},
        {"a plain data set", false,
         [](TDataSet& d) {
             d.setFilter("CODIGO < 5");
             d.setFiltered(true);
             d.setRecNo(2);
         },
         [](TDataSet& d) { searchAndChoose(d, "CODIGO < 5 AND UPPER(NOME) LIKE 'B%'"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TDataSet> dataSet;
        if (c.client)
            dataSet = std::make_unique<TClientDataSet>(products());
        else
            dataSet = std::make_unique<TDataSet>(products());
        c.load(*dataSet);
        const std::string loaded = seen(*dataSet);
        const LoadedState state = LoadedState::of(*dataSet);
        for (int call = 0; call < 2; ++call) {
            c.call(*dataSet);
            ASSERT_NE(seen(*dataSet), loaded) << "the call changed nothing to undo";
            state.restore(*dataSet);
            EXPECT_EQ(seen(*dataSet), loaded) << "after call " << call + 1;
        }
        state.restore(*dataSet);
        EXPECT_EQ(seen(*dataSet), loaded) << "restoring an unchanged data set changes nothing";
    }
}
