// Loading CSV text: quoting, typed headers, values and nulls, and an error naming the line and
// column for every way a file can be wrong.
#include "DataTestSupport.h"
#include <qmr41726/data/load/CsvLoader.h>
#include <qmr41726/data/load/CsvReader.h>
#include <qmr41726/data/load/FileSource.h>
#include <qmr41726/data/load/Loaders.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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

// Records as the reader splits them, each case small enough to cross every chunk boundary.
const std::vector<QuotingCase>& quotingCases() {
    static const std::vector<QuotingCase> cases = {
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
    return cases;
}

} // namespace

TEST(CsvLoader, splitsRecordsAndUnquotesFields) {
    for (const auto& c : quotingCases())
        EXPECT_EQ(rowsOf(*loadCsvText(c.csv, "t.csv")), c.expected) << c.name;
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

namespace {

// Files gone wrong in each way the reader and the header can tell.
const std::vector<ErrorCase>& errorCases() {
    static const std::vector<ErrorCase> cases = {
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
    return cases;
}

} // namespace

TEST(CsvLoader, everyErrorNamesFileLineAndColumn) {
    for (const auto& c : errorCases())
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

    // What is not a regular file is named for what it is before anything is opened: a named pipe
    // would otherwise hold the load until something wrote to it.
    const std::string fifo = ::testing::TempDir() + "qmr_loader_test.fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(errorOf([&] { loadCsvFile(path); }), path + ": no such file");
    EXPECT_EQ(errorOf([&] { loadCsvFile(::testing::TempDir()); }), ::testing::TempDir() + " is a directory");
    EXPECT_EQ(errorOf([&] { loadCsvFile(fifo); }), fifo + " is a FIFO (named pipe)");
    std::remove(fifo.c_str());
}

namespace {

/// Text handed over a few bytes a read, as a pipe may.
class TrickleSource : public ByteSource {
public:
    TrickleSource(std::string_view text, std::size_t perRead) : m_rest(text), m_perRead(perRead) {}
    std::size_t read(char* into, std::size_t size) override {
        const std::size_t count = std::min({size, m_perRead, m_rest.size()});
        std::memcpy(into, m_rest.data(), count);
        m_rest.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_rest;
    std::size_t m_perRead;
};

} // namespace

TEST(CsvLoader, recordsAndErrorsDoNotDependOnWhereChunksEnd) {
    for (const std::size_t chunk : {4, 5, 7, 64}) {
        for (const auto& c : quotingCases()) {
            TrickleSource source(c.csv, 3);
            EXPECT_EQ(rowsOf(*loadCsvFrom(source, "t.csv", chunk)), c.expected)
                << c.name << ", chunk " << chunk;
        }
        for (const auto& c : errorCases()) {
            TrickleSource source(c.csv, 3);
            EXPECT_EQ(errorOf([&] { loadCsvFrom(source, "t.csv", chunk); }), "t.csv, " + c.expected)
                << c.name << ", chunk " << chunk;
        }
    }
}

namespace {

/// A load's file, changed by `change` (another program) once the first chunk has been read.
class ChangedWhileRead : public ByteSource {
public:
    ChangedWhileRead(const std::string& path, std::function<void()> change)
        : m_file(path), m_change(std::move(change)) {}
    std::size_t read(char* into, std::size_t size) override {
        const std::size_t got = m_file.read(into, size);
        if (m_change)
            std::exchange(m_change, nullptr)();
        return got;
    }
    void checkUnchanged() override { m_file.checkUnchanged(); }

private:
    FileSource m_file;
    std::function<void()> m_change;
};

// `count` rows of two integer columns, 16 bytes each after a 20-byte header: no row ends on a
// page boundary, and a row cut in its first field, or followed by zeros (a file grown back) before
// its line break, is no row.
std::string integerRows(int count) {
    std::string text = "A:integer,B:integer\n";
    char row[32]; // 16 bytes a row for counts below 10,000,000; room for any int
    for (int i = 0; i < count; ++i) {
        std::snprintf(row, sizeof row, "%07d,%07d\n", i, i);
        text += row;
    }
    return text;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace

TEST(CsvLoader, fileChangedWhileReadIsReportedAndNothingLoads) {
    const std::string path = ::testing::TempDir() + "qmr_changed.csv";
    const std::string other = path + ".new";
    const std::string content = integerRows(40); // 660 bytes
    struct Case {
        const char* name;
        std::function<void()> change;
        std::string what;
    };
    const std::vector<Case> cases = {
        {"cut at a row's end", [&] { ASSERT_EQ(::truncate(path.c_str(), 20 + 16 * 10), 0); },
         "its size went from 660 to 180 bytes"},
        {"cut inside a row", [&] { ASSERT_EQ(::truncate(path.c_str(), 20 + 16 * 10 + 5), 0); },
         "its size went from 660 to 185 bytes"},
        {"grown", [&] { std::ofstream(path, std::ios::app) << "0000040,0000040\n"; },
         "its size went from 660 to 676 bytes"},
        {"rewritten in place",
         [&] {
             writeFile(path, integerRows(40));
             const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}}; // a time no test runs at
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         },
         "it was written to"},
        {"replaced under its name",
         [&] {
             writeFile(other, content);
             ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
         },
         "another file took its name"},
        {"removed", [&] { std::remove(path.c_str()); }, "it was removed"},
    };
    for (const Case& c : cases) {
        writeFile(path, content);
        ChangedWhileRead source(path, c.change);
        EXPECT_EQ(errorOf([&] { loadCsvFrom(source, path, 64); }),
                  path + " changed while it was read (" + c.what + "); nothing was loaded")
            << c.name;
    }
    std::remove(path.c_str());
}

// Another program rewriting the catalogue in a loop, as a mapped file could not survive (SIGBUS):
// each load gets the whole file or an error naming it.
TEST(CsvLoader, fileRewrittenInALoopWhileLoadingGivesTheWholeFileOrANamedError) {
    const std::string path = ::testing::TempDir() + "qmr_rewritten.csv";
    constexpr int kRows = 100000;
    const std::string content = integerRows(kRows);
    writeFile(path, content);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const int fd = ::open(path.c_str(), O_WRONLY);
        const off_t cut = off_t(20 + 16 * (kRows / 2) + 3);
        while (!done) {
            // Cut inside a row's first field, then grow back (zeros) and write the tail again: no
            // state between is a loadable file, so only a read that saw none of them may succeed.
            bool ok = ::ftruncate(fd, cut) == 0 && ::ftruncate(fd, off_t(content.size())) == 0;
            ok = ok && ::pwrite(fd, content.data() + cut, content.size() - std::size_t(cut), cut) > 0;
            if (!ok)
                break;
        }
        ::close(fd);
    });
    int whole = 0;
    for (int i = 0; i < 30; ++i) {
        try {
            const auto store = loadCsvFile(path);
            EXPECT_EQ(store->rowCount(), kRows);
            EXPECT_EQ(store->text(kRows - 1, 1), std::to_string(kRows - 1));
            ++whole;
        } catch (const EDatabaseError& error) {
            EXPECT_EQ(error.Message().rfind(path, 0), 0u) << error.Message();
        }
    }
    done = true;
    writer.join();
    std::remove(path.c_str());
    RecordProperty("whole_loads", whole);
}

namespace {

/// A source that runs out of memory after its first chunk.
class StarvedSource : public TrickleSource {
public:
    using TrickleSource::TrickleSource;
    std::size_t read(char* into, std::size_t size) override {
        if (m_reads++ > 0)
            throw std::bad_alloc();
        return TrickleSource::read(into, size);
    }

private:
    int m_reads = 0;
};

} // namespace

TEST(CsvLoader, runningOutOfMemoryIsTheLoadersError) {
    StarvedSource source("A\nx\ny\nz\n", 4);
    EXPECT_EQ(errorOf([&] { loadCsvFrom(source, "t.csv", 4); }),
              "t.csv, line 2: not enough memory to load the rows; nothing was loaded");
}

// A large file's store is given its room from the rows read first. Whatever those rows foretell
// (rows like the rest, shorter ones, longer ones), every row loads, and the store keeps little
// more room than its values take.
TEST(CsvLoader, aLargeFileLoadsWholeWhateverItsFirstRowsForetell) {
    const std::string path = ::testing::TempDir() + "qmr_large.csv";
    const int rows = 600000; // about 20 MB, past the size from which the room is planned
    const auto nameOf = [](int i, bool longer) {
        return std::string(longer ? "a longer name than the first ones " : "name ") + std::to_string(i);
    };
    struct Case {
        const char* name;
        std::function<bool(int)> longer;
    };
    const std::vector<Case> cases = {
        {"alike", [](int) { return false; }},
        {"short first", [&](int i) { return i >= rows / 8; }},
        {"long first", [&](int i) { return i < rows / 8; }},
    };
    for (const Case& c : cases) {
        std::string text = "CODIGO:integer,NOME\n";
        std::size_t nameBytes = 0;
        for (int i = 0; i < rows; ++i) {
            const std::string name = nameOf(i, c.longer(i));
            text += std::to_string(i) + "," + name + "\n";
            nameBytes += name.size();
        }
        writeFile(path, text);
        const auto store = loadCsvFile(path);
        ASSERT_EQ(store->rowCount(), rows) << c.name;
        for (const int i : {0, rows / 8 - 1, rows / 8, rows - 1}) {
            EXPECT_EQ(store->text(i, 0), std::to_string(i)) << c.name;
            EXPECT_EQ(store->text(i, 1), nameOf(i, c.longer(i))) << c.name;
        }
        // The values: the names, an offset and four head bytes a name, and an 8-byte number.
        const double values = double(nameBytes) + double(rows) * 16;
        EXPECT_LT(double(store->memoryBytes()), values * 1.13) << c.name;
    }
    std::remove(path.c_str());
}
