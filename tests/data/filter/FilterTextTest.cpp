// The questions a caller asks before it builds a filter out of pieces: whether a base filter
// holds anything, whether an appended AND would bind to all of it, and how to spell a field.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/data/filter/FilterParser.h>
#include <qmr41726/data/filter/FilterText.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

struct JoinCase {
    const char* base;
    bool needsParentheses;
};

// Every row is checked against the parser itself: "base AND X = 1" must read as (base) AND (X = 1)
// exactly when the base is said to need no parentheses.
const JoinCase kJoins[] = {
    {"A = 1", false},
    {"A = 1 AND B = 2", false},
    {"(A = 1 OR B = 2) AND C = 3", false},
    {"NOT (A = 1 OR B = 2)", false},
    {"C <> 'Porto OR Faro'", false},
    {"[D OR E] = 1", false},
    {"(A = 1 OR B = 2)", false},
    {" ( (A = 1 OR B = 2) ) ", false},
    {"A = 1 OR B = 2", true},
    {"(A = 1) OR (B = 2)", true},
    {"(A = 1 OR B = 2) OR (C = 3)", true},
    {"A = 1 or B = 2", true},
    {"A = 1 AND B = 2 OR C = 3", true},
    // Names that fooled a scan of the characters: a parenthesis and a quote inside brackets.
    {"[QTD(UN] = 1 OR ID = 4", true},
    {"[D'AGUA] = 1 OR ID = 4", true},
    {"A = 'it''s' OR B = 2", true},
};

} // namespace

TEST(FilterText, appendedAndBindsToTheWholeBaseExactlyWhenNoParenthesesAreNeeded) {
    for (const JoinCase& c : kJoins) {
        SCOPED_TRACE(c.base);
        EXPECT_EQ(filterNeedsParentheses(c.base), c.needsParentheses);
        const std::unique_ptr<FilterNode> base = parseFilter(c.base);
        const std::unique_ptr<FilterNode> joined = parseFilter(std::string(c.base) + " AND X = 1");
        const bool bindsWhole =
            joined->kind == FilterNode::Kind::And && sameFilterTree(*joined->children[0], *base);
        EXPECT_EQ(bindsWhole, !c.needsParentheses);
    }
}

TEST(FilterText, malformedOrBlankBaseIsLeftAsItIs) {
    for (const char* base : {"A = ", "(A = 1 OR B = 2", "A = 1 OR", "'open", "", "   "}) {
        SCOPED_TRACE(base);
        EXPECT_FALSE(filterNeedsParentheses(base));
    }
}

TEST(FilterText, onlyBlanksCountAsNoFilter) {
    for (const char* blank : {"", " ", "   ", "\t \r\n"})
        EXPECT_TRUE(isBlankFilter(blank)) << '"' << blank << '"';
    for (const char* filter : {"A", " A = 1 ", "''", "\xA0"})
        EXPECT_FALSE(isBlankFilter(filter)) << '"' << filter << '"';
}

TEST(FilterText, fieldNamesAreBracketedOnlyWhenTheLanguageCannotReadThemBare) {
    const struct {
        const char* name;
        const char* spelled;
    } cases[] = {
        {"NOME", "NOME"},
        {"nome_2", "nome_2"},
        {"_X", "_X"},
        {"DESCRI\xC7\xC3O", "DESCRI\xC7\xC3O"},
        {"NOME COMPLETO", "[NOME COMPLETO]"},
        {"NOME-X", "[NOME-X]"},
        {"1A", "[1A]"},
        {"LIKE", "[LIKE]"},
        {"Upper", "[Upper]"},
        {"QTD(UN", "[QTD(UN]"},
        {"D'AGUA", "[D'AGUA]"},
        {" NOME", "[ NOME]"},
        {"", "[]"},
        {"A]B", "A]B"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterFieldName(c.name), c.spelled) << '"' << c.name << '"';
}

TEST(FilterText, everySpelledNameSelectsItsField) {
    const char* names[] = {"NOME COMPLETO", "NOME-X", "1A", "LIKE", "QTD(UN", "NOME"};
    std::vector<TFieldDef> fields;
    for (const char* name : names)
        fields.push_back(fieldDef(name, TFieldType::ftString, 5));
    const auto store =
        makeStore(fields, {{"ab", "ab", "ab", "ab", "ab", "ab"}, {"x", "x", "x", "x", "x", "x"}});
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TDataSet dataSet(store);
        dataSet.setFilter(filterFieldName(name) + " = 'ab'");
        EXPECT_NO_THROW(dataSet.setFiltered(true));
        EXPECT_EQ(dataSet.recordCount(), 1);
    }
}
