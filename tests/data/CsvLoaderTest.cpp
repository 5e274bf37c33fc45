// Loading CSV text: quoting, typed headers, values and nulls, and an error naming the line and
// column for every way a file can be wrong.
#include "DataTestSupport.h"
#include "host/data/CsvReader.h"
#include "host/data/Loaders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qmr;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every value of the store as the grid shows it, with "<null>" for a null.
Rows rowsOf(const TColumnStore& store) {
    Rows rows;
    for (int r = 0; r < store.rowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < store.fieldCount(); ++c)
            rows.back().push_back(store.isNull(r, c) ? "<null>" : store.text(r, c));
    }
    return rows;
}

struct QuotingCase {
    const char* name;
    std::string csv;
    Rows expected;
};

struct ErrorCase {
    const char* name;
    std::string csv;
    std::string expected; // the whole message after "t.csv, "
};

} // namespace

TEST(CsvLoader, splitsRecordsAndUnquotesFields) {
    const std::vector<QuotingCase> cases = {
        {"plain LF", "A,B\nx,y\n", {{"x", "y"}}},
        {"CRLF and no final line break", "A,B\r\nx,y\r\nz,w", {{"x", "y"}, {"z", "w"}}},
        {"doubled quotes", "A,B\n\"say \"\"hi\"\"\",\"\"\"\"\n", {{"say \"hi\"", "\""}}},
        {"comma and line breaks inside quotes",
         "A,B\n\"1,2\",\"l1\nl2\r\nl3\"\nq,r\n",
         {{"1,2", "l1\nl2\r\nl3"}, {"q", "r"}}},
        {"empty and quoted empty fields", "A,B,C\n,\"\",\n", {{"", "", ""}}},
        {"blank lines are skipped", "A\n\nx\n\r\n\ny\n", {{"x"}, {"y"}}},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "A\nx\n",
         {{"x"}}},
        {"spaces are part of a string", "A,B\n x , y\n", {{" x ", " y"}}},
        {"header only", "A,B\n", {}},
    };
    for (const auto& c : cases) {
        auto store = loadCsvText(c.csv, "t.csv");
        EXPECT_EQ(rowsOf(*store), c.expected) << c.name;
    }
}

TEST(CsvLoader, headerDeclaresNamesTypesSizesAndHiddenFields) {
    auto store = loadCsvText("CODIGO:integer,DESCRICAO:string(40), Preco : FLOAT ,ATIVO:Boolean,"
                             "QUANDO:datetime,OBS,NOTA:string,ID:integer:hidden,X:hidden:string(3)\n"
                             "1,Arroz,2.5,S,2024-01-31,abc,\"longer text\",7,ab\n"
                             "2,Feij\xC3\xA3o,3,n,,,,,\n",
                             "t.csv");
    struct Expected {
        const char* name;
        TFieldType type;
        int size;
        bool visible;
    };
    const std::vector<Expected> expected = {
        {"CODIGO", TFieldType::ftInteger, 0, true},  {"DESCRICAO", TFieldType::ftString, 40, true},
        {"Preco", TFieldType::ftFloat, 0, true},     {"ATIVO", TFieldType::ftBoolean, 0, true},
        {"QUANDO", TFieldType::ftDateTime, 0, true}, {"OBS", TFieldType::ftString, 3, true},
        {"NOTA", TFieldType::ftString, 11, true},    {"ID", TFieldType::ftInteger, 0, false},
        {"X", TFieldType::ftString, 3, false},
    };
    ASSERT_EQ(store->fieldCount(), int(expected.size()));
    for (int i = 0; i < store->fieldCount(); ++i) {
        const TFieldDef& def = store->fieldDef(i);
        EXPECT_EQ(def.name, expected[size_t(i)].name);
        EXPECT_EQ(def.type, expected[size_t(i)].type) << def.name;
        EXPECT_EQ(def.size, expected[size_t(i)].size) << def.name;
        EXPECT_EQ(def.visible, expected[size_t(i)].visible) << def.name;
    }
    const Rows rows = {
        {"1", "Arroz", "2.5", "True", "31/01/2024", "abc", "longer text", "7", "ab"},
        {"2", "Feij\xE3o", "3", "False", "<null>", "", "", "<null>", ""},
    };
    EXPECT_EQ(rowsOf(*store), rows) << "empty values are null except in string fields";
}

TEST(CsvLoader, readsEachTypesForms) {
    auto store = loadCsvText("I:integer,F:float,B:boolean,D:datetime\n"
                             "-42,-0.5,true,2024-02-29 13:45\n"
                             "+7,1e3,0,2024-02-29T13:45:10\n"
                             " 9223372036854775807 ,.25,FALSE,1999-12-31 \n"
                             "0,0,1,1899-12-29 06:00\n",
                             "t.csv");
    const Rows rows = {
        {"-42", "-0.5", "True", "29/02/2024 13:45:00"},
        {"7", "1000", "False", "29/02/2024 13:45:10"},
        {"9223372036854775807", "0.25", "False", "31/12/1999"},
        {"0", "0", "True", "29/12/1899 06:00:00"}, // before the epoch the time still counts forward
    };
    EXPECT_EQ(rowsOf(*store), rows);
}

TEST(CsvLoader, textIsConvertedFromUtf8ToWindows1252) {
    auto store = loadCsvText("NOME:string(6),\xC3\x87OD\n\xC3\x87\xC3\xA3o \xE2\x82\xAC,x\n", "t.csv");
    EXPECT_EQ(store->fieldDef(1).name, "\xC7OD");
    EXPECT_EQ(store->text(0, 0), "\xC7\xE3o \x80");
    EXPECT_EQ(store->fieldDef(0).size, 6) << "sizes count characters, not UTF-8 bytes";
    // The Latin-1 range, the C1 byte that Windows-1252 leaves undefined, and a 3-byte sequence.
    auto more = loadCsvText("T\n\xC2\xBA\xC2\xA0\xC3\xBF\xC2\x81\xE2\x80\x94\n", "t.csv");
    EXPECT_EQ(more->text(0, 0), "\xBA\xA0\xFF\x81\x97");
}

TEST(CsvLoader, everyErrorNamesFileLineAndColumn) {
    const std::vector<ErrorCase> cases = {
        {"empty file", "", "line 1, column 1: the file is empty; its first line must name the fields"},
        {"only blank lines", "\xEF\xBB\xBF\n\r\n",
         "line 1, column 1: the file is empty; its first line must name the fields"},
        {"quote inside an unquoted value", "A,B\nx,ab\"c\n",
         "line 2, column 2: a quote inside an unquoted value (quote the whole value and double the quote)"},
        {"unclosed quote is reported where it opened", "A,B\nx,\"abc\ny,z\n",
         "line 2, column 2: a quoted value is never closed"},
        {"text after a closing quote", "A,B\nx,y\n\"a\"b,c\n",
         "line 3, column 1: text after the closing quote of a quoted value"},
        {"too many fields", "A,B\n1,2\n1,2,3\n",
         "line 3, column 3: the row has 3 fields where the header has 2"},
        {"too few fields", "A,B,C\n1,2\n", "line 2, column 3: the row has 2 fields where the header has 3"},
        {"line count follows quoted line breaks", "A,B\n\"a\nb\",1\n1\n",
         "line 4, column 2: the row has 1 field where the header has 2"},
        {"unknown type", "A,B:money\n",
         "line 1, column 2: header: unknown type 'money' (integer, float, boolean, datetime, string or "
         "string(n))"},
        {"string size zero", "A:string(0)\n",
         "line 1, column 1: header: the size in 'string(0)' must be a whole number from 1 to 65535"},
        {"string size not a number", "A:string(x)\n",
         "line 1, column 1: header: the size in 'string(x)' must be a whole number from 1 to 65535"},
        {"two types", "A:integer:float\n", "line 1, column 1: header: the field has two types ('float')"},
        {"empty field name", "A,,C\n", "line 1, column 2: header: a field without a name"},
        {"type without a name", "A,:integer\n", "line 1, column 2: header: a field without a name"},
        {"duplicate name ignoring case", "Nome,CODIGO,NOME\n",
         "line 1, column 3: header: the field name 'NOME' appears twice"},
        {"not a whole number", "A,N:integer\nx,1\ny,1.5\n",
         "line 3, column 2: '1.5' is not a whole number (field N)"},
        {"integer overflow", "N:integer\n9223372036854775808\n",
         "line 2, column 1: '9223372036854775808' is out of the range of an integer (field N)"},
        {"decimal comma", "P:float\n\"12,5\"\n", "line 2, column 1: '12,5' is not a number (field P)"},
        {"not finite", "P:float\nnan\n", "line 2, column 1: 'nan' is not a number (field P)"},
        {"not a Boolean", "B:boolean\nmaybe\n",
         "line 2, column 1: 'maybe' is not a Boolean (true or false) (field B)"},
        {"impossible date", "D:datetime\n2023-02-29\n",
         "line 2, column 1: '2023-02-29' is not a date-time (yyyy-mm-dd or yyyy-mm-dd hh:mm:ss) (field D)"},
        {"string longer than declared", "A:string(3)\nabc\nab\xC3\xA7\x64\n",
         "line 3, column 1: 'ab\xE7\x64' has 4 characters; the field A holds at most 3"},
        {"character without a Windows-1252 byte", "A,B\nx,snow \xE2\x98\x83\n",
         "line 2, column 2: Invalid text at byte 5: character U+2603 has no Windows-1252 equivalent"},
        {"control bytes in a value are escaped", "N:integer\n\x1B[2J\n",
         "line 2, column 1: '\\x1B[2J' is not a whole number (field N)"},
        {"repeated long name is quoted in part", std::string(900, 'n') + "," + std::string(900, 'N') + "\n",
         "line 1, column 2: header: the field name '" + std::string(40, 'N') + "...' appears twice"},
        {"invalid UTF-8", "A\n\xC3(\n", "line 2, column 1: Invalid text at byte 0: truncated UTF-8 sequence"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf([&] { loadCsvText(c.csv, "t.csv"); }), "t.csv, " + c.expected) << c.name;
}

namespace {

// A header line of `count` fields named C1, C2, ... (the last one `last` when given).
std::string wideHeader(int count, const std::string& last = "") {
    std::string line;
    for (int i = 1; i <= count; ++i)
        line += (i > 1 ? "," : "") + (i == count && !last.empty() ? last : "C" + std::to_string(i));
    return line + "\n";
}

} // namespace

TEST(CsvLoader, recordsAndHeaderEntriesPastTheirBoundsAreRefusedWhereTheyPass) {
    const std::string longRecord = "A,B\nx," + std::string(kMaxCsvRecordBytes, 'y') + "\n";
    const std::vector<ErrorCase> cases = {
        {"header past the field bound", wideHeader(10001),
         "line 1, column 10001: the record has more than 10000 fields"},
        {"row past the field bound", "A\n" + std::string(20000, ','),
         "line 2, column 10001: the record has more than 10000 fields"},
        {"repeated name at the last column", wideHeader(10000, "c1"),
         "line 1, column 10000: header: the field name 'c1' appears twice"},
        {"first line of NUL bytes", std::string(100000, '\0') + "\n1\n",
         "line 1, column 1: header: the entry has 100000 bytes, more than 1024"},
        {"long field name", "A," + std::string(1025, 'N') + "\n",
         "line 1, column 2: header: the entry has 1025 bytes, more than 1024"},
        {"record past the byte bound", longRecord,
         "line 2, column 2: the record is longer than 67108864 bytes"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf([&] { loadCsvText(c.csv, "t.csv"); }), "t.csv, " + c.expected) << c.name;
}

TEST(CsvLoader, recordsAndHeaderEntriesAtTheirBoundsLoad) {
    const std::string name(1024, 'N');
    auto store = loadCsvText(wideHeader(10000) + std::string(9999, ',') + "\n", "t.csv");
    EXPECT_EQ(store->fieldCount(), 10000);
    EXPECT_EQ(store->rowCount(), 1);
    EXPECT_EQ(loadCsvText(name + "\n1\n", "t.csv")->fieldDef(0).name, name);
}

TEST(CsvLoader, loadsFilesAndNamesAnUnreadableOne) {
    const std::string path = ::testing::TempDir() + "qmr_loader_test.csv";
    const std::string content = "A:integer,B\r\n1,um\r\n2,\"\"\"dois\"\", tr\u00eas\"\r\n";
    std::ofstream(path, std::ios::binary) << content;
    auto store = loadCsvFile(path);
    EXPECT_EQ(rowsOf(*store), (Rows{{"1", "um"}, {"2", "\"dois\", tr\xEAs"}}));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content)
        << "unquoting never writes to the file";
    std::remove(path.c_str());

    EXPECT_EQ(errorOf([&] { loadCsvFile(path); }),
              path + ": cannot read the file (No such file or directory)");
    EXPECT_EQ(errorOf([&] { loadCsvFile(::testing::TempDir()); }),
              ::testing::TempDir() + ": cannot read the file (Is a directory)");
}
