// Loading SQLite query results: declared types become field types and sizes, expressions take
// the type of their first value, and every failure names the database and what went wrong.
#include "DataTestSupport.h"
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/load/SqlDeclaredType.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace qmr;

namespace {

/// A database file made for one test and removed afterwards.
class SqliteLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The process id keeps runs of two build trees at once off each other's file.
        m_path = ::testing::TempDir() + "qmr_loader_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db";
        std::remove(m_path.c_str());
        execute(
            "CREATE TABLE produto (id INTEGER, nome VARCHAR(12), obs TEXT, preco REAL,"
            " valor NUMERIC(10,2), ativo BOOLEAN, criado DATETIME, qtd BIGINT, sigla CHAR(2),"
            " outro UNSIGNED BIG INT, livre);"
            "INSERT INTO produto VALUES (1, 'A\xC3\xA7\xC3\xBA\x63\x61r', 'doce', 4.5, 10, 1,"
            " '2024-03-01 08:30:00', 5000000000, 'KG', 3, 'x');"
            "INSERT INTO produto VALUES (2, 'Caf\xC3\xA9', 'torrado e mo\xC3\xAD\x64o', 12, 7.25, 0,"
            " '2024-03-02', NULL, 'UN', NULL, 12);"
            "INSERT INTO produto VALUES (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);");
    }
    void TearDown() override { std::remove(m_path.c_str()); }

    void execute(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    std::string m_path;
};

/// A writer on its own connection that holds the file's exclusive lock, with a row added, until
/// it is told to commit.
class LockingWriter {
public:
    explicit LockingWriter(const std::string& path) : m_thread([this, path] { run(path); }) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_locked || !m_error.empty(); });
    }
    ~LockingWriter() {
        release();
        m_thread.join();
    }
    const std::string& error() const { return m_error; }
    void release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    void run(const std::string& path) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE; INSERT INTO produto (id) VALUES (4)", nullptr,
                                    nullptr, &error);
        {
            std::unique_lock lock(m_mutex);
            m_locked = rc == SQLITE_OK;
            m_error = rc == SQLITE_OK ? "" : std::string("the writer cannot lock: ") + (error ? error : "?");
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
        }
        sqlite3_free(error);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_locked = false;
    bool m_released = false;
    std::string m_error;
    std::thread m_thread;
};

// Whether the thread is asleep in a system call, as SQLite's busy handler is between two tries.
bool isSleeping(pid_t thread) {
    std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/syscall");
    long number = -1;
    file >> number;
    return number == SYS_clock_nanosleep || number == SYS_nanosleep;
}

std::vector<std::string> rowTexts(const TColumnStore& store, int row) {
    std::vector<std::string> texts;
    for (int c = 0; c < store.fieldCount(); ++c)
        texts.push_back(store.isNull(row, c) ? "<null>" : store.text(row, c));
    return texts;
}

} // namespace

TEST(SqlDeclaredType, mapsTheUsualNamesAndFollowsAffinityForTheRest) {
    struct Case {
        const char* declared;
        std::optional<TFieldType> type;
        int size;
    };
    const std::vector<Case> cases = {
        {"integer", TFieldType::ftInteger, 0},
        {"BIGINT", TFieldType::ftInteger, 0},
        {"UNSIGNED BIG INT", TFieldType::ftInteger, 0},
        {"varchar(40)", TFieldType::ftString, 40},
        {"VARCHAR( 8 )", TFieldType::ftString, 8},
        {"VARCHAR2(10)", TFieldType::ftString, 10},
        {"CHAR(2)", TFieldType::ftString, 2},
        {"TEXT", TFieldType::ftString, 0},
        {"TEXT(12)", TFieldType::ftString, 12},
        {"NVARCHAR(x)", TFieldType::ftString, 0},
        {"NUMERIC(10,2)", TFieldType::ftFloat, 0},
        {"DOUBLE PRECISION", TFieldType::ftFloat, 0},
        {"Boolean", TFieldType::ftBoolean, 0},
        {"DATE", TFieldType::ftDateTime, 0},
        {"timestamp", TFieldType::ftDateTime, 0},
        {"BLOB", std::nullopt, 0},
        {"", std::nullopt, 0},
        {"MONEY", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const auto mapped = fieldTypeOfDeclared(c.declared);
        ASSERT_EQ(mapped.has_value(), c.type.has_value()) << c.declared;
        if (!mapped)
            continue;
        EXPECT_EQ(mapped->type, *c.type) << c.declared;
        EXPECT_EQ(mapped->size, c.size) << c.declared;
    }
}

TEST_F(SqliteLoaderTest, declaredTypesGiveFieldTypesAndSizes) {
    auto store = loadSqlite(m_path, "SELECT * FROM produto ORDER BY id");
    struct Expected {
        const char* name;
        TFieldType type;
        int size;
    };
    const std::vector<Expected> expected = {
        {"id", TFieldType::ftInteger, 0},      {"nome", TFieldType::ftString, 12},
        {"obs", TFieldType::ftString, 15},     {"preco", TFieldType::ftFloat, 0},
        {"valor", TFieldType::ftFloat, 0},     {"ativo", TFieldType::ftBoolean, 0},
        {"criado", TFieldType::ftDateTime, 0}, {"qtd", TFieldType::ftInteger, 0},
        {"sigla", TFieldType::ftString, 2},    {"outro", TFieldType::ftInteger, 0},
        {"livre", TFieldType::ftString, 2},
    };
    ASSERT_EQ(store->fieldCount(), int(expected.size()));
    for (int i = 0; i < store->fieldCount(); ++i) {
        EXPECT_EQ(store->fieldDef(i).name, expected[size_t(i)].name);
        EXPECT_EQ(store->fieldDef(i).type, expected[size_t(i)].type) << expected[size_t(i)].name;
        EXPECT_EQ(store->fieldDef(i).size, expected[size_t(i)].size) << expected[size_t(i)].name;
    }
    ASSERT_EQ(store->rowCount(), 3);
    EXPECT_EQ(rowTexts(*store, 0),
              (std::vector<std::string>{"1", "A\xE7\xFA\x63\x61r", "doce", "4.5", "10", "True",
                                        "01/03/2024 08:30:00", "5000000000", "KG", "3", "x"}));
    EXPECT_EQ(rowTexts(*store, 1),
              (std::vector<std::string>{"2", "Caf\xE9", "torrado e mo\xED\x64o", "12", "7.25", "False",
                                        "02/03/2024", "<null>", "UN", "<null>", "12"}));
    for (int c = 1; c < store->fieldCount(); ++c)
        EXPECT_TRUE(store->isNull(2, c)) << "SQL nulls stay null, strings too";
}

TEST_F(SqliteLoaderTest, expressionsTakeTheTypeOfTheirFirstValue) {
    auto store = loadSqlite(m_path, "SELECT id * 2 AS dobro, upper(sigla) AS s, preco / 2 AS metade,"
                                    " NULL AS nada, CASE WHEN id = 3 THEN 'tres' END AS tarde"
                                    " FROM produto ORDER BY id");
    const std::vector<std::pair<TFieldType, int>> expected = {
        {TFieldType::ftInteger, 0}, {TFieldType::ftString, 2}, {TFieldType::ftFloat, 0},
        {TFieldType::ftString, 1},  {TFieldType::ftString, 4},
    };
    for (int i = 0; i < store->fieldCount(); ++i) {
        EXPECT_EQ(store->fieldDef(i).type, expected[size_t(i)].first) << store->fieldDef(i).name;
        EXPECT_EQ(store->fieldDef(i).size, expected[size_t(i)].second) << store->fieldDef(i).name;
    }
    EXPECT_EQ(rowTexts(*store, 0), (std::vector<std::string>{"2", "KG", "2.25", "<null>", "<null>"}));
    EXPECT_EQ(rowTexts(*store, 2), (std::vector<std::string>{"6", "<null>", "<null>", "<null>", "tres"}));
}

TEST_F(SqliteLoaderTest, failuresNameTheDatabaseAndTheProblem) {
    execute("CREATE TABLE ruim (n INTEGER, c VARCHAR(3), b BOOLEAN, d DATE, x);"
            "INSERT INTO ruim VALUES (1, 'abc', 1, '2024-01-01', 1);"
            "INSERT INTO ruim VALUES ('dez', 'abcd', 2, '2024-13-01', x'00');"
            "INSERT INTO ruim VALUES (2.5, 'a\xE2\x98\x83', 'talvez', 45000, 'texto');");
    const std::string p = m_path;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SELECT * FROM nada", p + ": the query failed: no such table: nada"},
        {"SELEC 1", p + ": the query failed: near \"SELEC\": syntax error"},
        {"", p + ": the query is empty"},
        {"SELECT 1; DELETE FROM produto", p + ": the query holds more than one statement"},
        {"SELECT id, nome AS ID FROM produto", p + ": the query returns two columns named ID"},
        {"SELECT n FROM ruim", p + ", row 2, column 1 (n): 'dez' is not a whole number"},
        {"SELECT n FROM ruim WHERE rowid <> 2", p + ", row 2, column 1 (n): 2.5 is not a whole number"},
        {"SELECT c FROM ruim",
         p + ", row 2, column 1 (c): 'abcd' has 4 characters; the column holds at most 3"},
        {"SELECT c FROM ruim WHERE rowid = 3", p + ", row 1, column 1 (c): Invalid text at byte 1: character "
                                                   "U+2603 has no Windows-1252 equivalent"},
        {"SELECT b FROM ruim", p + ", row 2, column 1 (b): 2 is not a Boolean (0 or 1)"},
        {"SELECT b FROM ruim WHERE rowid = 3",
         p + ", row 1, column 1 (b): 'talvez' is not a Boolean (true or false)"},
        {"SELECT d FROM ruim", p + ", row 2, column 1 (d): '2024-13-01' is not a date-time (yyyy-mm-dd or "
                                   "yyyy-mm-dd hh:mm:ss)"},
        {"SELECT d FROM ruim WHERE rowid = 3",
         p + ", row 1, column 1 (d): 45000 is not a date as text (yyyy-mm-dd hh:mm:ss)"},
        {"SELECT x FROM ruim", p + ", row 2, column 1 (x): a binary (BLOB) value cannot be loaded"},
        {"SELECT x FROM ruim WHERE rowid <> 2", p + ", row 2, column 1 (x): 'texto' is not a whole number"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf([&] { loadSqlite(m_path, c.first); }), c.second) << c.first;
}

TEST_F(SqliteLoaderTest, aParameterNothingBindsIsRefusedNamed) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SELECT * FROM produto WHERE id = ?", "'?'"},
        {"SELECT * FROM produto WHERE id = ?7", "'?7'"},
        {"SELECT * FROM produto WHERE nome = :nome", "':nome'"},
        {"SELECT * FROM produto WHERE id = $1 OR id = ?", "'$1'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf([&] { loadSqlite(m_path, c.first); }),
                  m_path + ": the query holds the parameter " + c.second +
                      ", which nothing binds; write its value into the query")
            << c.first;
}

// A query without end is stopped at the bound it passes first, whether it yields rows or not.
TEST_F(SqliteLoaderTest, anEndlessQueryIsStoppedAtItsBounds) {
    const std::string endless = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) ";
    const LoadLimits rows{.maxRows = 1000};
    const LoadLimits bytes{.maxBytes = 100000};
    const LoadLimits time{.timeoutSeconds = 1};
    const std::string memory = " bytes, the bound on one load's memory (--load-memory); nothing was loaded";
    struct Case {
        std::string query;
        LoadLimits limits;
        std::string expected;
    };
    const std::vector<Case> cases = {
        // The store's 8 bytes a number, and the copy of a growing column, count: 100000 bytes hold
        // about 6250 numbers, not 12500 (the first row waits for its column's type, at a cost).
        {endless + "SELECT x FROM c", bytes, ", row 6244: the rows take more than 100000" + memory},
        // One value past its bound is refused before it is copied, in any column; one past SQLite's
        // own limit is refused there, before SQLite allocates it.
        {"SELECT 1 AS n, printf('%.67108865c', 'a') AS big",
         {},
         ", row 1, column 2 (big): the value holds 67108865 bytes, more than 67108864, the bound on one "
         "value"},
        {"SELECT hex(zeroblob(600000000)) AS huge",
         {},
         ", row 1: a value holds more than 1000000000 bytes, past the bound of 67108864 bytes on one value"},
        {endless + "SELECT x FROM c", rows,
         ", row 1001: the query returns more than 1000 rows, the bound on one load; nothing was loaded"},
        {endless + "SELECT printf('%.50c', 'x') AS t FROM c", bytes,
         ": the rows take more than 100000" + memory},
        {endless + "SELECT NULL AS n FROM c", bytes, ": the rows take more than 100000" + memory},
        {endless + "SELECT max(x) FROM c", time,
         ", row 1: the query ran longer than its time limit of 1 second; nothing was loaded"},
        {endless + "SELECT x FROM c", time,
         ": the query ran longer than its time limit of 1 second; nothing was loaded"},
    };
    for (const Case& c : cases) {
        const std::string error = errorOf([&] { loadSqlite(m_path, c.query, c.limits); });
        EXPECT_EQ(error.rfind(m_path, 0), 0u) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.query << ": " << error;
    }
    EXPECT_EQ(loadSqlite(m_path, endless + "SELECT x FROM c LIMIT 1000", rows)->rowCount(), 1000)
        << "a query at its bound loads";
}

TEST_F(SqliteLoaderTest, opensReadOnlyAndNeverCreatesADatabase) {
    const std::string missing = ::testing::TempDir() + "qmr_no_such.db";
    std::remove(missing.c_str());
    EXPECT_EQ(errorOf([&] { loadSqlite(missing, "SELECT 1"); }), missing + ": no such file");
    EXPECT_EQ(std::fopen(missing.c_str(), "rb"), nullptr) << "a missing database is not created";
    EXPECT_EQ(errorOf([&] { loadSqlite(m_path, "DELETE FROM produto"); }),
              m_path + ": the query returns no columns");
    EXPECT_EQ(errorOf([&] { loadSqlite(m_path, "INSERT INTO produto (id) VALUES (9) RETURNING id"); }),
              m_path + ", row 1: attempt to write a readonly database");
    EXPECT_EQ(loadSqlite(m_path, "SELECT count(*) AS n FROM produto")->text(0, 0), "3");
}

TEST_F(SqliteLoaderTest, waitsForAWriterToReleaseItsLock) {
    LockingWriter writer(m_path);
    ASSERT_EQ(writer.error(), "");
    std::atomic<pid_t> loaderThread{0};
    std::atomic<bool> done{false};
    std::string error;
    std::shared_ptr<const TColumnStore> rows;
    std::thread loader([&] {
        loaderThread = pid_t(syscall(SYS_gettid));
        try {
            rows = loadSqlite(m_path, "SELECT id FROM produto ORDER BY id");
        } catch (const std::exception& e) {
            error = e.what();
        }
        done = true;
    });
    // The writer lets go only once the load is seen waiting for it (or has given up).
    while (!done && !(loaderThread && isSleeping(loaderThread)))
        std::this_thread::yield();
    const bool waited = !done;
    writer.release();
    loader.join();
    EXPECT_TRUE(waited) << "the load did not wait for the lock: " << error;
    ASSERT_TRUE(rows) << error;
    EXPECT_EQ(rows->rowCount(), 4) << "the load read the file after the writer committed";
}
