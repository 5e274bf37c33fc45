// The data set as a grid and a search screen use it: fields, cursor, filter switching, observers.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/data/dataset/TDataSource.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

std::shared_ptr<const TColumnStore> names(std::vector<std::string> values) {
    std::vector<std::vector<Cell>> rows;
    long long code = 0;
    for (auto& v : values)
        rows.push_back({++code, v, std::string(code % 2 ? "S" : "N")});
    return makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 30),
                      fieldDef("Ativo", TFieldType::ftString, 1, false)},
                     rows);
}

// Where the cursor stands: "recNo bof eof" with B/E marking the flags that are set.
std::string cursor(const TDataSet& d) {
    return std::to_string(d.recNo()) + (d.bof() ? "B" : "") + (d.eof() ? "E" : "");
}

struct Recorder : TDataSetObserver {
    std::string log;
    void dataSetChanged(TDataSet&) override { log += "changed;"; }
    void currentRowChanged(TDataSet&) override { log += "moved;"; }
    void dataSetDestroyed(TDataSet&) override { log += "destroyed;"; }
};

} // namespace

TEST(DataSet, cursorStopsAtBothEndsWithClassicFlags) {
    TDataSet d(names({"A", "B", "C"}));
    struct Step {
        std::function<void()> move;
        const char* after;
    };
    const std::vector<Step> steps = {
        {[] {}, "1B"},
        {[&] { d.prior(); }, "1B"},
        {[&] { d.next(); }, "2"},
        {[&] { d.next(); }, "3"},
        {[&] { d.next(); }, "3E"},
        {[&] { d.next(); }, "3E"},
        {[&] { d.prior(); }, "2"},
        {[&] { d.first(); }, "1B"},
        {[&] { d.last(); }, "3E"},
        {[&] { d.setRecNo(0); }, "1"},
        {[&] { d.setRecNo(99); }, "3"},
        {[&] { d.setRecNo(2); }, "2"},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].move();
        EXPECT_EQ(cursor(d), steps[i].after) << "step " << i;
    }
    EXPECT_EQ(d.recordCount(), 3);
    EXPECT_EQ(d.field(1)->asString(), "B");
}

TEST(DataSet, emptyAndClosedDataSetsStandAtBothEnds) {
    TDataSet empty(names({}));
    TDataSet closed;
    for (TDataSet* d : {&empty, &closed}) {
        for (auto move : {&TDataSet::first, &TDataSet::next, &TDataSet::prior, &TDataSet::last}) {
            (d->*move)();
            EXPECT_EQ(cursor(*d), "0BE");
        }
        d->setRecNo(5);
        EXPECT_EQ(cursor(*d), "0BE");
        EXPECT_TRUE(d->isEmpty());
        EXPECT_EQ(d->recordCount(), 0);
    }
    EXPECT_TRUE(empty.field(1)->isNull());
    EXPECT_EQ(empty.field(1)->asString(), "");
    EXPECT_EQ(closed.fieldCount(), 0);
    EXPECT_THROW(closed.open(), EDatabaseError);
}

TEST(DataSet, fieldsByPositionAndName) {
    TDataSet d(names({"Ana"}));
    d.setName("cdsClientes");
    ASSERT_EQ(d.fieldCount(), 3);
    EXPECT_EQ(d.field(2)->fieldName(), "Ativo");
    EXPECT_FALSE(d.field(2)->visible());
    EXPECT_EQ(d.field(1)->size(), 30);
    EXPECT_EQ(d.field(0)->size(), 0);
    EXPECT_EQ(&d.fieldByName("nome"), d.field(1));
    EXPECT_EQ(d.findField("NOMX"), nullptr);
    EXPECT_EQ(errorOf([&] { d.fieldByName("NOMX"); }), "cdsClientes: Field 'NOMX' not found");
    EXPECT_EQ(errorOf([&] { d.field(3); }), "List index out of bounds (3): the list holds 3 items");
    EXPECT_THROW(d.field(-1), EListError);
    d.field(1)->setDisplayLabel("Nome do cliente");
    EXPECT_EQ(d.field(1)->displayLabel(), "Nome do cliente");
    EXPECT_EQ(d.field(0)->displayLabel(), "CODIGO");
    d.close();
    EXPECT_EQ(d.fieldCount(), 0);
    d.open();
    EXPECT_EQ(d.field(1)->asString(), "Ana");
}

TEST(DataSet, filterTextEvaluatesOnlyWhileFiltered) {
    TDataSet d(names({"JOSE", "ANA", "JOAO", "BIA"}));
    d.setFilter("NOME LIKE 'JO%'");
    EXPECT_EQ(d.recordCount(), 4) << "setting the text alone filters nothing";
    d.setFiltered(true);
    EXPECT_EQ(d.recordCount(), 2);
    d.last();
    d.setFilter("NOME LIKE 'J%'");
    EXPECT_EQ(d.recordCount(), 2);
    EXPECT_EQ(cursor(d), "1B") << "a new filter starts on the first row";
    d.setFilter("");
    EXPECT_EQ(d.recordCount(), 4) << "filtered with an empty text shows every row";
    d.setFilter("Ativo = 'N'");
    EXPECT_EQ(d.text(0, 1), "ANA");
    d.setFiltered(false);
    EXPECT_EQ(d.recordCount(), 4);
    EXPECT_EQ(d.filter(), "Ativo = 'N'");
}

TEST(DataSet, searchSequenceOffThenOnReevaluates) {
    // The screen's way: text, Filtered off, Filtered on when the text is not empty.
    TDataSet d(names({"JOSE", "ANA", "JOAO", "JOANA", "BIA"}));
    auto apply = [&](const std::string& text) {
        d.setFilter(text);
        d.setFiltered(false);
        if (!text.empty())
            d.setFiltered(true);
        return d.recordCount();
    };
    EXPECT_EQ(apply("NOME LIKE 'J%'"), 3);
    EXPECT_EQ(apply("NOME LIKE 'JOA%'"), 2);
    EXPECT_EQ(apply("NOME LIKE 'JOAN%'"), 1);
    EXPECT_EQ(apply("NOME LIKE 'JOA%'"), 2);
    EXPECT_EQ(apply(""), 5);
    EXPECT_FALSE(d.filtered());
}

TEST(DataSet, rejectedFilterLosesNothing) {
    TDataSet d(names({"JOSE", "ANA", "JOAO"}));
    d.setFilter("NOME LIKE 'JO%'");
    d.setFiltered(true);
    d.next();
    Recorder recorder;
    d.addObserver(&recorder);

    EXPECT_THROW(d.setFilter("NOME LIKE 'JO%' AND"), EDatabaseError);
    EXPECT_EQ(d.filter(), "NOME LIKE 'JO%'");
    EXPECT_EQ(d.recordCount(), 2);
    EXPECT_EQ(d.field(1)->asString(), "JOAO");

    d.setFiltered(false);
    d.setFilter("NOMX = 'A'");
    d.setRecNo(3);
    recorder.log.clear();
    EXPECT_THROW(d.setFiltered(true), EDatabaseError);
    EXPECT_FALSE(d.filtered());
    EXPECT_EQ(d.recordCount(), 3);
    EXPECT_EQ(d.recNo(), 3);
    EXPECT_EQ(recorder.log, "") << "nothing changed, so no one is told";
    d.removeObserver(&recorder);
}

TEST(DataSet, observersHearChangesMovesAndTheEnd) {
    Recorder recorder;
    {
        TDataSet d(names({"A", "B"}));
        d.addObserver(&recorder);
        d.next();
        d.next(); // already on the last row: no move
        d.setFilter("NOME = 'A'");
        d.setFiltered(true);
        d.close();
        d.open();
        d.first();
        EXPECT_EQ(recorder.log, "moved;changed;changed;changed;");
        recorder.log.clear();
    }
    EXPECT_EQ(recorder.log, "destroyed;");
}

TEST(DataSet, dataSourcePassesNotificationsOnAndLetsGo) {
    Recorder grid;
    TDataSource source;
    source.addObserver(&grid);
    auto d = std::make_unique<TDataSet>(names({"A", "B"}));
    source.setDataSet(d.get());
    d->next();
    source.setDataSet(nullptr);
    d->next();
    EXPECT_EQ(grid.log, "changed;moved;destroyed;");
    grid.log.clear();
    source.setDataSet(d.get());
    d.reset();
    EXPECT_EQ(grid.log, "changed;destroyed;");
    EXPECT_EQ(source.dataSet(), nullptr);
}

TEST(DataSet, liveRegistryKnowsOnlyLiveDataSets) {
    auto d = std::make_unique<TDataSet>(names({"A"}));
    const auto address = reinterpret_cast<std::intptr_t>(d.get());
    EXPECT_EQ(TDataSet::fromAddress(address), d.get());
    EXPECT_EQ(TDataSet::fromAddress(address + 8), nullptr);
    EXPECT_EQ(TDataSet::fromAddress(0), nullptr);
    EXPECT_EQ(TDataSet::fromAddress(12345), nullptr);
    d.reset();
    EXPECT_EQ(TDataSet::fromAddress(address), nullptr);
}

TEST(DataSet, rowsByPositionForGrids) {
    TDataSet d(makeStore({fieldDef("N", TFieldType::ftString)}, {{std::string("x")}, {Cell{}}}));
    EXPECT_EQ(d.text(0, 0), "x");
    EXPECT_TRUE(d.isNull(1, 0));
    EXPECT_THROW(d.text(2, 0), EListError);
    EXPECT_THROW(d.isNull(0, 1), EListError);
}
