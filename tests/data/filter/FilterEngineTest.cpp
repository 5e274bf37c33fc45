// Every shortcut the filter engine takes (remembered results, narrowing a refined filter, index
// ranges) must give exactly the rows, in exactly the order, of testing every row afresh.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/filter/FilterEngine.h>
#include <qmr41726/data/filter/TFilterProgram.h>
#include <qmr41726/data/index/FilterRows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace qmr;

namespace {

// Few distinct letters so that prefixes collide often; '_' and '%' and '\' test the wildcards.
const std::string kAlphabet = "aAbBjJoO_%\\\xE7\xC7";

// Names of up to `maxLength` bytes: past 4, a search reads more than a row's stored first bytes.
// With `fewValues`, names are drawn from that many, so the column is kept as value numbers.
std::shared_ptr<const TColumnStore> randomStore(std::mt19937& random, int rows, int maxLength = 4,
                                                std::size_t fewValues = 0) {
    const auto randomName = [&] {
        std::string name;
        for (int n = int(random() % unsigned(maxLength + 1)); n > 0; --n)
            name += kAlphabet[random() % kAlphabet.size()];
        return name;
    };
    std::vector<std::string> vocabulary;
    while (vocabulary.size() < fewValues)
        vocabulary.push_back(randomName());
    std::vector<std::vector<Cell>> cells;
    for (int i = 0; i < rows; ++i) {
        const std::string name = vocabulary.empty() ? randomName() : vocabulary[random() % vocabulary.size()];
        const Cell nameCell = random() % 20 == 0 ? Cell{} : Cell{name};
        const Cell active = random() % 10 == 0 ? Cell{} : Cell{std::string(random() % 5 ? "S" : "N")};
        cells.push_back({(long long)i + 1, nameCell, active});
    }
    return makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 4),
                      fieldDef("Ativo", TFieldType::ftString, 1)},
                     cells);
}

// The codes of the rows `filter` accepts, testing every row of `unfiltered` one by one.
std::string plainCodes(const TDataSet& unfiltered, const std::string& filter) {
    auto program = TFilterProgram::compile(filter, *unfiltered.store());
    std::string out;
    for (int i = 0; i < unfiltered.recordCount(); ++i) {
        const auto row = std::uint32_t(std::stoi(unfiltered.text(i, 0)) - 1);
        std::vector<std::uint32_t> passed;
        program->select(&row, 1, passed);
        if (!passed.empty())
            out += unfiltered.text(i, 0) + ",";
    }
    return out;
}

std::string codes(const TDataSet& d) {
    std::string out;
    for (int i = 0; i < d.recordCount(); ++i)
        out += d.text(i, 0) + ",";
    return out;
}

std::string randomPrefix(std::mt19937& random) {
    std::string p;
    for (int n = 1 + int(random() % 5); n > 0; --n)
        p += kAlphabet[random() % kAlphabet.size()];
    return p;
}

std::string randomTerm(std::mt19937& random) {
    switch (random() % 6) {
    case 0:
        return "NOME LIKE '" + randomPrefix(random) + "%'";
    case 1:
    case 2:
        return "UPPER(NOME) LIKE '" + randomPrefix(random) + "%'";
    case 3:
        return "Ativo = 'S'";
    case 4:
        return "CODIGO < " + std::to_string(random() % 400);
    default:
        return "NOME IS NULL";
    }
}

std::string randomExpression(std::mt19937& random, int depth) {
    if (depth == 0 || random() % 3 == 0)
        return randomTerm(random);
    switch (random() % 3) {
    case 0:
        return "(" + randomExpression(random, depth - 1) + ") AND (" + randomExpression(random, depth - 1) +
               ")";
    case 1:
        return "(" + randomExpression(random, depth - 1) + ") OR (" + randomExpression(random, depth - 1) +
               ")";
    default:
        return "NOT (" + randomExpression(random, depth - 1) + ")";
    }
}

// The next filter of a session: mostly a small step from the last one, as typing makes.
std::string nextFilter(std::mt19937& random, const std::string& last) {
    const size_t like = last.find("%'");
    switch (random() % 5) {
    case 0: // type one more character into the first LIKE pattern
        if (like != std::string::npos)
            return last.substr(0, like) + kAlphabet[random() % kAlphabet.size()] + last.substr(like);
        return last;
    case 1: // Backspace in it
        if (like != std::string::npos && last[like - 1] != '\'')
            return last.substr(0, like - 1) + last.substr(like);
        return last;
    case 2:
        return last.empty() ? randomTerm(random) : last + " AND " + randomTerm(random);
    case 3:
        return "";
    default:
        return randomExpression(random, 3);
    }
}

struct Ordering {
    const char* fields;
    TIndexOptions options;
};

} // namespace

TEST(FilterEngine, shortcutsGiveTheSameRowsInTheSameOrderAsTestingEveryRow) {
    const Ordering orderings[] = {
        {"", 0},
        {"NOME", 0},
        {"NOME", unsigned(TIndexOption::ixCaseInsensitive)},
        {"NOME", unsigned(TIndexOption::ixDescending)},
        {"NOME;CODIGO", unsigned(TIndexOption::ixDescending)},
        {"Ativo;NOME", 0},
    };
    std::mt19937 random(20240611);
    for (int round = 0; round < 12; ++round) {
        const auto store =
            randomStore(random, 300 + int(random() % 400), round % 2 ? 8 : 4, round % 4 == 2 ? 60 : 0);
        for (const Ordering& ordering : orderings) {
            TClientDataSet searched(store);
            TClientDataSet unfiltered(store);
            for (TClientDataSet* d : {&searched, &unfiltered}) {
                d->indexDefs().add("IX", ordering.fields, ordering.options);
                d->setIndexName(*ordering.fields ? "IX" : "");
            }
            std::string filter;
            for (int step = 0; step < 40; ++step) {
                filter = nextFilter(random, filter);
                searched.setFilter(filter);
                searched.setFiltered(false);
                if (!filter.empty())
                    searched.setFiltered(true);
                ASSERT_EQ(codes(searched), plainCodes(unfiltered, filter))
                    << "filter " << filter << " ordered by '" << ordering.fields << "' options "
                    << ordering.options << " round " << round << " step " << step;
            }
        }
    }
}

// A search as the screen runs it: the host's filter is on before the screen orders the rows by
// the search column, then each key ANDs a LIKE on the typed text to it. Each key's rows come as
// runs of the last result's list, or of the index itself, and must be exactly what testing every
// row gives; the current row must be one of them.
TEST(FilterEngine, searchSessionsNarrowedByTheIndexMatchTestingEveryRow) {
    const Ordering orderings[] = {
        {"NOME", 0},
        {"NOME", unsigned(TIndexOption::ixCaseInsensitive)},
        {"NOME;CODIGO", 0},
        {"NOME", unsigned(TIndexOption::ixDescending)},
    };
    std::mt19937 random(4172);
    for (int round = 0; round < 8; ++round) {
        const auto store = randomStore(random, 400 + int(random() % 400), round % 2 ? 8 : 4);
        for (const Ordering& ordering : orderings) {
            for (const std::string base : {"Ativo = 'S'", "", "CODIGO < 300 AND Ativo = 'S'"}) {
                TClientDataSet searched(store);
                TClientDataSet unfiltered(store);
                for (TClientDataSet* d : {&searched, &unfiltered})
                    d->indexDefs().add("IX", ordering.fields, ordering.options);
                unfiltered.setIndexName("IX");
                searched.setFilter(base);
                searched.setFiltered(!base.empty());
                searched.setIndexName("IX");
                std::string typed;
                for (int step = 0; step < 24; ++step) {
                    if (!typed.empty() && random() % 4 == 0)
                        typed.pop_back();
                    else
                        typed += kAlphabet[random() % kAlphabet.size()];
                    const std::string like = "UPPER(NOME) LIKE '" + UpperCase(typed) + "%'";
                    const std::string filter = typed.empty()  ? base
                                               : base.empty() ? like
                                                              : base + " AND " + like;
                    searched.setFilter(filter);
                    searched.setFiltered(false);
                    searched.setFiltered(!filter.empty());
                    ASSERT_EQ(codes(searched), plainCodes(unfiltered, filter))
                        << filter << " ordered by '" << ordering.fields << "' round " << round;
                    searched.last();
                    ASSERT_EQ(searched.recNo(), searched.recordCount());
                }
            }
        }
    }
}

TEST(FilterEngine, changingTheOrderUnderAFilterKeepsItsRows) {
    std::mt19937 random(7);
    const auto store = randomStore(random, 500);
    TClientDataSet d(store);
    d.indexDefs().add("NOME", "NOME", 0);
    d.indexDefs().add("CODIGO", "CODIGO", unsigned(TIndexOption::ixDescending));
    TClientDataSet unfiltered(store);
    unfiltered.indexDefs().add("CODIGO", "CODIGO", unsigned(TIndexOption::ixDescending));
    unfiltered.setIndexName("CODIGO");

    const std::string filter = "UPPER(NOME) LIKE 'J%'";
    d.setIndexName("NOME");
    d.setFilter(filter);
    d.setFiltered(true);
    d.last();
    const std::string current = d.text(d.recNo() - 1, 0);
    d.setIndexName("CODIGO");
    EXPECT_EQ(codes(d), plainCodes(unfiltered, filter));
    EXPECT_EQ(d.text(d.recNo() - 1, 0), current);
    d.setFilter("UPPER(NOME) LIKE 'JO%'");
    EXPECT_EQ(codes(d), plainCodes(unfiltered, "UPPER(NOME) LIKE 'JO%'"));
}

namespace {

void expectScansMatch(const std::shared_ptr<const TColumnStore>& store) {
    TClientDataSet unfiltered(store);
    const std::string prefixes[] = {
        "j",     "J",     "jO",      "\xE7", "\xC7J", "aAbB", "aAbBj",
        "aabbj", "AABBJ", "JoO\xE7", "_",    "a_b",   "ab%c", "\xE7\xE7\xE7\xE7\xE7"};
    for (const std::string& prefix : prefixes) {
        for (const char* form :
             {"NOME LIKE '%s%%'", "UPPER(NOME) LIKE '%s%%'", "LOWER(NOME) LIKE '%s%%'",
              "NOME LIKE '%s%%' AND Ativo = 'S'", "UPPER(NOME) LIKE '%s%%a'", "NOME NOT LIKE '%s%%'"}) {
            char filter[128];
            std::snprintf(filter, sizeof filter, form, prefix.c_str());
            TClientDataSet searched(store);
            searched.setFilter(filter);
            searched.setFiltered(true);
            EXPECT_EQ(codes(searched), plainCodes(unfiltered, filter)) << filter;
        }
    }
}

} // namespace

// A data set without an index scans the rows' stored first bytes (or value numbers): prefixes
// shorter and longer than those, cased or not, against names that are empty, null, short or hold
// bytes above 0x7F.
TEST(FilterEngine, scanWithoutAnIndexMatchesTestingEveryRow) {
    std::mt19937 random(31);
    for (const auto& store : {randomStore(random, 2000, 8), randomStore(random, 2000, 8, 200)})
        expectScansMatch(store);
}

// Runs of a shared list: positions count across the runs, empty runs are dropped, and a row
// outside every run has no position even when the list holds it.
TEST(FilterEngine, rowsKeptAsRunsOfASharedList) {
    const auto source = std::make_shared<const RowList>(RowList{9, 8, 7, 6, 5, 4, 3});
    const FilterRows rows(source, {{1, 3}, {4, 4}, {5, 7}});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.runs().size(), 2u);
    std::string seen;
    for (std::size_t i = 0; i < rows.size(); ++i)
        seen += std::to_string(rows[i]);
    EXPECT_EQ(seen, "8743");
    EXPECT_EQ(rows.positionOf(4), 2);
    EXPECT_EQ(rows.positionOf(6), -1);
    EXPECT_TRUE(FilterRows(RowList{}).empty());
}

// The keys of a search build on its base filter as compiled once: each key gets the rows, or the
// error at the place, that compiling its whole text gives, and only the base and the texts that
// do not read as "base AND term" are compiled whole.
TEST(FilterEngine, aSearchCompilesItsBaseFilterOnce) {
    std::mt19937 random(41726);
    const auto store = randomStore(random, 400, 6);
    const std::string keys[] = {
        "UPPER(NOME) LIKE 'J%'",
        "UPPER(NOME) LIKE 'JO%'",
        "UPPER(NOME) LIKE 'J%' AND CODIGO < 300",
        "NOME LIKE 'a%' OR Ativo = 'N'", // binds otherwise: compiled whole
        "UPPER(NOME) LIKE",              // an error after the base
    };
    const struct {
        const char* base;
        const char* joined; // as each key's text starts
        std::size_t wholeCompiles;
    } cases[] = {
        {"Ativo = 'S'", "Ativo = 'S' AND ", 2},
        {"Ativo = 'S' OR CODIGO < 50", "(Ativo = 'S' OR CODIGO < 50) AND ", 2},
        {"(Ativo = 'S' OR CODIGO < 50)", "(Ativo = 'S' OR CODIGO < 50) AND ", 2},
        {"NOME LIKE 'aA%' AND NOT CODIGO IN (3, 5)", "NOME LIKE 'aA%' AND NOT CODIGO IN (3, 5) AND ", 2},
        // AND binds tighter than OR, so the keys do not append to this base: each is compiled whole.
        {"Ativo = 'S' OR CODIGO < 50", "Ativo = 'S' OR CODIGO < 50 AND ", 5},
    };
    const auto rowsOf = [](const FilterRows& rows) {
        std::vector<std::uint32_t> out;
        rows.forEachRun(
            [&](const std::uint32_t* from, std::size_t count) { out.insert(out.end(), from, from + count); });
        return out;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        FilterEngine engine;
        engine.run(c.base, engine.compile(c.base, *store), *store, RowOrdering{});
        for (const std::string& key : keys) {
            SCOPED_TRACE(key);
            const std::string text = c.joined + key;
            const std::string wholeError = errorOf([&] { TFilterProgram::compile(text, *store); });
            if (wholeError != "(no error)") {
                EXPECT_EQ(errorOf([&] { engine.compile(text, *store); }), wholeError);
                continue;
            }
            std::vector<std::uint32_t> expected;
            TFilterProgram::compile(text, *store)->selectRange(0, std::uint32_t(store->rowCount()), expected);
            const auto program = engine.compile(text, *store);
            EXPECT_TRUE(sameFilterTree(*program->tree(), *TFilterProgram::compile(text, *store)->tree()));
            EXPECT_EQ(rowsOf(*engine.run(text, program, *store, RowOrdering{})), expected);
        }
        EXPECT_EQ(engine.wholeCompiles(), c.wholeCompiles);
    }
}
