// The filter language: what it accepts, what each form selects, and how it says what is wrong.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TDataSet.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

// Rows chosen so that case, nulls, wildcards and types each make a difference somewhere.
std::shared_ptr<const TColumnStore> customers() {
    return makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 30),
                      fieldDef("CIDADE", TFieldType::ftString, 20),
                      fieldDef("Ativo", TFieldType::ftString, 1), fieldDef("PRECO", TFieldType::ftFloat),
                      fieldDef("VIP", TFieldType::ftBoolean), fieldDef("DATA", TFieldType::ftDateTime)},
                     {
                         {1LL, "JOSE", "Recife", "S", 10.5, true, 45000.0},
                         {2LL, "joao", "Olinda", "S", 20.0, false, 45001.5},
                         {3LL, "Joana", {}, "N", {}, {}, {}},
                         {4LL, "ANA", "Recife", "S", 0.25, true, 45002.0},
                         {5LL, "a_b\\c", "Natal", "S", -3.0, false, 45003.0},
                         {6LL, "O'Brien", "Natal", "N", 99.99, true, 45004.0},
                         {7LL, "Concei\xE7\xE3o", "Caruaru", "S", 10.5, false, 45005.0},
                         {8LL, {}, "Recife", "S", 7.0, true, 45006.0},
                     });
}

// The CODIGO of every row the filter lets through, in order.
std::string codesFor(const std::string& filter) {
    TDataSet dataSet(customers());
    dataSet.setFilter(filter);
    dataSet.setFiltered(true);
    std::string codes;
    for (int row = 0; row < dataSet.recordCount(); ++row)
        codes += (codes.empty() ? "" : ",") + dataSet.text(row, 0);
    return codes;
}

struct Accepted {
    const char* filter;
    const char* codes;
};

const Accepted kAccepted[] = {
    // The expressions the search screen builds.
    {"Ativo = 'S' AND UPPER(NOME) LIKE 'JO%'", "1,2"},
    {"UPPER(NOME) LIKE 'JO%'", "1,2,3"},
    {"NOME LIKE 'JO%'", "1"},
    {"(CODIGO = 1 OR CODIGO = 3) AND UPPER(NOME) LIKE 'J%'", "1,3"},
    {"UPPER(NOME) LIKE 'CONCEI\xC7%'", ""}, // only a-z change case: ç is not Ç
    {"UPPER(NOME) LIKE 'CONCEI\xE7%'", "7"},
    {"LOWER(NOME) LIKE 'jo%'", "1,2,3"},
    // UPPER, LOWER and LIKE read any other field as the text the grid shows for it.
    {"UPPER(CODIGO) LIKE '1%'", "1"},
    {"PRECO LIKE '1%'", "1,7"},
    {"PRECO NOT LIKE '1%'", "2,4,5,6,8"},
    {"UPPER(PRECO) LIKE 'A%'", ""},
    {"UPPER(PRECO) = '10.5'", "1,7"},
    {"DATA LIKE '%12:00:00'", "2"},
    {"UPPER(VIP) = 'TRUE'", "1,4,6,8"},
    {"LOWER(VIP) IN ('false')", "2,5,7"},
    // Keywords and names in any case, blanks anywhere, bracketed names.
    {"ativo = 'S' and upper(nome) like 'JO%'", "1,2"},
    {"  [Ativo]='N'  ", "3,6"},
    {"", "1,2,3,4,5,6,7,8"},
    {"   ", "1,2,3,4,5,6,7,8"},
    // Comparisons of each type.
    {"CODIGO >= 6", "6,7,8"},
    {"CODIGO <> 1 AND CODIGO < 4", "2,3"},
    {"CODIGO = '2'", "2"},
    {"CODIGO > 2.5 AND CODIGO <= 4", "3,4"},
    {"CODIGO > -1 AND CODIGO < 2", "1"},
    {"PRECO = 10.5", "1,7"},
    {"PRECO < 0", "5"},
    {"PRECO > '20'", "6"},
    {"NOME > 'a'", "2,5"},
    {"NOME < 'B'", "4"},
    {"CIDADE = 'Recife'", "1,4,8"},
    {"VIP = TRUE", "1,4,6,8"},
    {"VIP = 'false'", "2,5,7"},
    {"VIP <> FALSE AND CODIGO < 5", "1,4"},
    {"DATA >= '19/03/2023'", "6,7,8"},
    {"DATA = '2023-03-16 12:00'", "2"},
    {"DATA < 45001", "1"},
    {"NOME = 'O''Brien'", "6"},
    {"1 = 1", "1,2,3,4,5,6,7,8"},
    {"'a' = 'b'", ""},
    // LIKE: % any run, _ one byte, backslash itself, case-sensitive.
    {"NOME LIKE 'a_b\\c'", "5"},
    {"NOME LIKE 'a\\_b%'", ""},
    {"NOME LIKE '___'", "4"},
    {"NOME LIKE '%a'", "3"},
    {"NOME LIKE '%o%'", "2,3,7"},
    {"NOME LIKE 'J%E'", "1"},
    {"NOME LIKE '%'", "1,2,3,4,5,6,7"},
    {"NOME NOT LIKE 'J%'", "2,4,5,6,7"},
    // IN, IS NULL, NOT, and how nulls compare.
    {"CODIGO IN (2, 4, 9)", "2,4"},
    {"CIDADE IN ('Natal', 'Olinda')", "2,5,6"},
    {"CIDADE NOT IN ('Recife')", "2,5,6,7"},
    // IN lists in any order, with repeats, mixed integers and reals, and under a casing.
    {"CODIGO IN (9, 4.0, 2.5, 4, 2, 9)", "2,4"},
    {"CODIGO NOT IN (8, 1.0, 7.5, 3)", "2,4,5,6,7"},
    {"UPPER(CIDADE) IN ('RECIFE', 'Natal', 'OLINDA', 'NATAL')", "1,2,4,5,6,8"},
    {"VIP IN (TRUE, TRUE)", "1,4,6,8"},
    {"CIDADE IS NULL", "3"},
    {"NOME IS NOT NULL AND PRECO IS NULL", "3"},
    {"PRECO > 5", "1,2,6,7,8"},
    {"NOT (PRECO > 5)", "4,5"},
    {"NOT PRECO > 5 OR CODIGO = 3", "3,4,5"},
    {"PRECO <> 10.5", "2,4,5,6,8"},
    {"CIDADE <> 'Recife'", "2,5,6,7"},
    // Precedence: AND binds tighter than OR; NOT tighter than both.
    {"CODIGO = 1 OR CODIGO = 2 AND Ativo = 'N'", "1"},
    {"(CODIGO = 1 OR CODIGO = 3) AND Ativo = 'N'", "3"},
    {"NOT CODIGO = 1 AND CODIGO < 3", "2"},
};

TEST(FilterLanguage, acceptedFormsSelectTheirRows) {
    for (const Accepted& c : kAccepted)
        EXPECT_EQ(codesFor(c.filter), c.codes) << c.filter;
}

struct Rejected {
    const char* filter;
    const char* message;
};

const Rejected kRejected[] = {
    {"UPPER(NOMX) LIKE 'JO%'", "Filter error at position 7: unknown field 'NOMX'"},
    {"(CODIGO = 1 OR CODIGO = 2", "Filter error at position 26: expected ')', found the end of the filter"},
    {"CODIGO = 1)", "Filter error at position 11: ')' without a matching '('"},
    {"NOME LIKE 'JO%", "Filter error at position 11: unterminated string"},
    {"NOME = 'A' AND",
     "Filter error at position 15: expected a field name or a value, found the end of the filter"},
    {"NOME == 'A'", "Filter error at position 6: unknown operator '=='"},
    {"NOME != 'A'", "Filter error at position 6: unexpected '!'"},
    {"NOME 'A'",
     "Filter error at position 6: expected a comparison (=, <>, <, >, <=, >=, LIKE, IS, IN), found 'A'"},
    {"NOME LIKE JOSE", "Filter error at position 11: expected a quoted pattern after LIKE, found 'JOSE'"},
    {"NOME 'A\x1B[2J'", "Filter error at position 6: expected a comparison (=, <>, <, >, <=, >=, LIKE, IS, "
                        "IN), found 'A\\x1B[2J'"},
    {"NOME IS 'A'", "Filter error at position 9: expected NULL after IS, found 'A'"},
    {"NOME NOT = 'A'", "Filter error at position 10: expected LIKE or IN after NOT, found '='"},
    {"CODIGO IN (1, NOME)",
     "Filter error at position 15: the IN list takes only quoted texts, numbers, TRUE or FALSE"},
    {"CODIGO IN 1", "Filter error at position 11: expected '(' after IN, found '1'"},
    {"NOME = 5", "Filter error at position 8: cannot compare the string field 'NOME' with the number 5"},
    {"CODIGO = 'abc'",
     "Filter error at position 10: cannot compare the integer field 'CODIGO' with the text 'abc'"},
    {"VIP = 'yes'", "Filter error at position 7: cannot compare the Boolean field 'VIP' with the text 'yes'"},
    {"DATA = '31/02/2023'",
     "Filter error at position 8: cannot compare the date-time field 'DATA' with the text "
     "'31/02/2023'"},
    {"NOME = CODIGO",
     "Filter error at position 8: cannot compare the string field 'NOME' with the integer field "
     "'CODIGO'"},
    {"UPPER(5) LIKE '5%'", "Filter error at position 7: UPPER needs a text, but the number 5 is not one"},
    {"CODIGO = 12ab", "Filter error at position 10: malformed number"},
    {"CODIGO = 1.2.3", "Filter error at position 10: malformed number"},
    {"NOME = 'A' # x", "Filter error at position 12: unexpected '#'"},
    {"[NOME = 'A'", "Filter error at position 1: missing ']' after field name"},
    {"NOME = 'A' CIDADE = 'B'",
     "Filter error at position 12: expected AND, OR or the end of the filter, found "
     "'CIDADE'"},
    {"AND = 1", "Filter error at position 1: expected a field name or a value, found AND"},
    {"CODIGO = -", "Filter error at position 11: expected a number after '-', found the end of the filter"},
    {"NOME",
     "Filter error at position 5: expected a comparison (=, <>, <, >, <=, >=, LIKE, IS, IN), found the end "
     "of the filter"},
};

TEST(FilterLanguage, rejectedFormsNameTheProblemAndItsPosition) {
    for (const Rejected& c : kRejected) {
        TDataSet dataSet(customers());
        dataSet.setFilter(c.filter);
        EXPECT_EQ(errorOf([&] { dataSet.setFiltered(true); }), c.message) << c.filter;
    }
}

TEST(FilterLanguage, rejectionsAreDatabaseErrors) {
    TDataSet dataSet(customers());
    dataSet.setFilter("NOME = ");
    EXPECT_THROW(dataSet.setFiltered(true), EDatabaseError);
}

} // namespace
