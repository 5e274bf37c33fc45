// Inputs grown to hostile sizes, run under the sanitizers: CSV values and lines, header column
// counts and header entries, IN lists and LIKE patterns, each grown from small through its bound
// to past it. Every input must be accepted when within its bound and refused with
// EDatabaseError naming the bound when past it, within a time limit per input; anything else (a
// crash, a sanitizer report, another exception, a wrong row count, an input taking more
// processor time than the limit) is a fault.
// libFuzzer's mutations rarely grow an input past a few kilobytes, so these sizes are built
// here on purpose; the seed varies the content (quotes, line breaks, commas, bytes past ASCII).
//
// hostile_sizes [--seed N] [--rounds N] [--limit SECONDS]: prints one line per input (its size in
// bytes, or the count for header columns and IN items; its wall and processor time) and a
// summary; exits 1 on the first fault. The limit is 20 s of processor time by default.

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/filter/LikePattern.h>
#include <qmr41726/data/load/CsvReader.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace qmr;

namespace {

// The bounds as hosts are told them; the loader's and the filter's own constants are checked
// against these, so a bound changed in one place and not in the other is a fault too.
constexpr int kFields = 10000;
constexpr std::size_t kRecordBytes = 67108864;
constexpr std::size_t kHeaderEntry = 1024;
constexpr int kInItems = 10000;
constexpr std::size_t kPrefixPattern = 131072;
constexpr std::size_t kOtherPattern = 1024;
static_assert(kFields == kMaxCsvFields && kRecordBytes == kMaxCsvRecordBytes);
static_assert(kPrefixPattern == kMaxLikePattern && kOtherPattern == kMaxWildcardLikePattern);

using Clock = std::chrono::steady_clock;

/// The processor time this process has used, in seconds: the time limit is checked on it, since
/// on a shared machine the wall clock also counts the time others take.
double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

/// What an input is expected to do: load or filter, or be refused naming `bound`.
struct Expect {
    bool accepted;
    std::size_t bound = 0;
};

class Runner {
public:
    Runner(std::uint64_t seed, double limitSeconds) : m_random(seed), m_limit(limitSeconds) {}

    std::mt19937_64& random() { return m_random; }
    int inputs() const { return m_inputs; }

    /// Runs `work`, which returns a description of a wrong result or "" and throws
    /// EDatabaseError on refusal, and checks the outcome and the time against `expect`.
    /// `size` is the input's size in its own unit: bytes, or columns for a header, items for an IN list.
    void run(const std::string& name, std::size_t size, Expect expect,
             const std::function<std::string()>& work) {
        ++m_inputs;
        const Clock::time_point start = Clock::now();
        const double cpuStart = cpuSeconds();
        std::string outcome;
        std::string fault;
        try {
            const std::string wrong = work();
            outcome = "accepted";
            if (!expect.accepted)
                fault = "accepted past its bound " + std::to_string(expect.bound);
            else if (!wrong.empty())
                fault = wrong;
        } catch (const EDatabaseError& error) {
            const std::string message = error.Message();
            outcome = "refused: " + message.substr(0, 160);
            if (expect.accepted)
                fault = "refused within its bounds";
            else if (message.find(std::to_string(expect.bound)) == std::string::npos)
                fault = "refused without naming the bound " + std::to_string(expect.bound);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = cpuSeconds() - cpuStart;
        if (fault.empty() && cpu > m_limit)
            fault =
                "took " + std::to_string(cpu) + " s of processor time, more than " + std::to_string(m_limit);
        std::printf("%-14s %11zu %8.3f s (%.3f s cpu)  %s\n", name.c_str(), size, seconds, cpu,
                    outcome.c_str());
        if (!fault.empty()) {
            std::printf("hostile_sizes: FAULT in %s (size %zu): %s\n", name.c_str(), size, fault.c_str());
            std::exit(1);
        }
        std::fflush(stdout);
    }

private:
    std::mt19937_64 m_random;
    double m_limit;
    int m_inputs = 0;
};

/// `size` bytes of value text: letters and digits, and when `quotable` (the caller quotes it)
/// now and then a comma, a quote, a line break or an accented letter.
std::string valueText(std::mt19937_64& random, std::size_t size, bool quotable) {
    static constexpr std::string_view plain =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";
    static constexpr std::string_view awkward[] = {",", "\"", "\n", "\r\n", "\xC3\xA9"};
    std::string text;
    text.reserve(size);
    // Four characters from each random number: a megabyte costs a quarter million draws.
    while (text.size() < size) {
        std::uint64_t r = random();
        for (int i = 0; i < 4 && text.size() < size; ++i, r >>= 16) {
            const std::string_view piece = quotable && (r & 15) == 0
                                               ? awkward[(r >> 4) % std::size(awkward)]
                                               : plain.substr((r >> 4) % plain.size(), 1);
            text += text.size() + piece.size() <= size ? piece : std::string_view("A");
        }
    }
    return text;
}

/// A quoted CSV value whose quoted form is exactly `size` bytes (at least 2).
std::string quotedValue(std::mt19937_64& random, std::size_t size) {
    std::string body = valueText(random, size - 2, true);
    std::string out = "\"";
    for (char c : body) {
        if (out.size() + (c == '"' ? 2 : 1) > size - 1)
            break;
        out += c;
        if (c == '"')
            out += '"';
    }
    // The cut may have split an accented letter: its first byte goes too.
    while (out.size() > 1 && static_cast<unsigned char>(out.back()) >= 0xC0)
        out.pop_back();
    out.append(size - 1 - out.size(), 'q');
    return out + "\"";
}

/// Sizes from small up to `bound`, then the bound itself, one past it and far past it.
std::vector<std::size_t> ladder(std::size_t from, std::size_t bound, std::size_t far) {
    std::vector<std::size_t> sizes;
    for (std::size_t size = from; size < bound; size *= 8)
        sizes.push_back(size);
    sizes.insert(sizes.end(), {bound, bound + 1, far});
    return sizes;
}

std::string loadRows(std::string_view csv, std::size_t rows) {
    const auto store = loadCsvText(csv, "hostile.csv");
    if (!store || std::size_t(store->rowCount()) != rows)
        return "loaded " + std::to_string(store ? store->rowCount() : -1) + " rows, not " +
               std::to_string(rows);
    return "";
}

/// One row whose second value grows: quoted (with quotes, commas and line breaks inside) or plain.
/// The record bound counts the record's bytes without its final line break.
void values(Runner& runner, bool quoted) {
    for (std::size_t record : ladder(1024, kRecordBytes, kRecordBytes + (8 << 20))) {
        const std::string prefix = "1,";
        const std::size_t valueBytes = record - prefix.size();
        const std::string csv = "A:integer,B\r\n" + prefix +
                                (quoted ? quotedValue(runner.random(), valueBytes)
                                        : valueText(runner.random(), valueBytes, false)) +
                                "\r\n2,x\r\n";
        runner.run(quoted ? "quoted value" : "plain line", record, {record <= kRecordBytes, kRecordBytes},
                   [&] { return loadRows(csv, 2); });
    }
}

/// A header of `count` columns with random unique names, and one row of values.
void headerColumns(Runner& runner) {
    for (std::size_t count : ladder(10, kFields, 200000)) {
        std::string header, row;
        const std::uint64_t salt = runner.random()();
        for (std::size_t i = 0; i < count; ++i) {
            header +=
                (i ? "," : "") + ("C" + std::to_string(i) + "_" + std::to_string((salt + i * 7919) % 997));
            row += (i ? "," : "") + std::to_string(i % 10);
        }
        const std::string csv = header + "\n" + row + "\n";
        runner.run("header columns", count, {count <= std::size_t(kFields), std::size_t(kFields)},
                   [&] { return loadRows(csv, 1); });
    }
}

/// One header entry `NAME:string(9)` grown to `size` bytes, and a first line of NUL bytes.
void headerEntries(Runner& runner) {
    for (std::size_t size : ladder(16, kHeaderEntry, 10 << 20)) {
        const std::string suffix = ":string(9)";
        std::string name = "N" + valueText(runner.random(), size - suffix.size() - 1, false);
        for (char& c : name)
            c = c == ' ' ? '_' : c;
        const std::string csv = "A," + name + suffix + "\n1,abc\n";
        runner.run("header entry", size, {size <= kHeaderEntry, kHeaderEntry},
                   [&] { return loadRows(csv, 1); });
    }
    // A first line of NUL bytes past the record bound: one huge field name.
    const std::string nuls(kRecordBytes + 4096, '\0');
    runner.run("NUL header", nuls.size(), {false, kRecordBytes}, [&] { return loadRows(nuls, 0); });
}

/// A catalogue of `rows` rows: CODIGO 1..rows, NOME random words, a third of them starting with
/// `shared`, one in fifty 1 MiB long when `longValues`.
std::shared_ptr<const TColumnStore> catalogue(Runner& runner, int rows, const std::string& shared,
                                              bool longValues) {
    std::string csv = "CODIGO:integer,NOME\n";
    for (int i = 1; i <= rows; ++i) {
        std::string nome = i % 3 == 0 ? shared : "";
        nome += valueText(runner.random(), longValues && i % 50 == 0 ? 1 << 20 : 8 + runner.random()() % 40,
                          false);
        csv += std::to_string(i) + "," + nome + "\n";
    }
    return loadCsvText(csv, "catalogue.csv");
}

/// Filters a client data set over `store` and counts the rows shown.
int filteredRows(const std::shared_ptr<const TColumnStore>& store, const std::string& filter) {
    TClientDataSet data(store);
    data.setFilter(filter);
    data.setFiltered(true);
    return data.recordCount();
}

/// IN lists of numbers grown through their bound; accepted ones must show exactly the listed rows.
void inLists(Runner& runner) {
    const int rows = 2000;
    const auto store = catalogue(runner, rows, "", false);
    for (std::size_t count : ladder(10, kInItems, 100000)) {
        std::string filter = "CODIGO IN (";
        std::vector<bool> listed(rows + 1);
        for (std::size_t i = 0; i < count; ++i) {
            const int code = 1 + int(runner.random()() % (rows * 4));
            filter += (i ? "," : "") + std::to_string(code);
            if (code <= rows)
                listed[code] = true;
        }
        filter += ")";
        const int want = int(std::count(listed.begin(), listed.end(), true));
        runner.run("IN items", count, {count <= std::size_t(kInItems), std::size_t(kInItems)}, [&] {
            const int got = filteredRows(store, filter);
            return got == want ? std::string()
                               : std::to_string(got) + " rows shown, " + std::to_string(want) + " listed";
        });
    }
}

/// LIKE patterns grown through both bounds over values up to 1 MiB: a prefix (the screen's
/// form, upper-cased as the screen does) whose rows can be counted, and patterns with wildcards
/// inside, whose time is what matters.
void likePatterns(Runner& runner) {
    const int rows = 600;
    const std::string shared = valueText(runner.random(), kPrefixPattern + 16, false);
    const auto store = catalogue(runner, rows, shared, true);
    for (std::size_t size : ladder(8, kPrefixPattern, 1 << 20)) {
        // The pattern text counts the final %.
        const std::string prefix = size - 1 <= shared.size()
                                       ? shared.substr(0, size - 1)
                                       : shared + std::string(size - 1 - shared.size(), 'Q');
        const int want = size - 1 <= shared.size() ? rows / 3 : 0;
        runner.run("LIKE prefix", size, {size <= kPrefixPattern, kPrefixPattern}, [&] {
            const int got = filteredRows(store, "NOME LIKE '" + prefix + "%'");
            return got == want ? std::string()
                               : std::to_string(got) + " rows shown, " + std::to_string(want) + " expected";
        });
    }
    for (std::size_t size : ladder(8, kOtherPattern, 60 << 10)) {
        std::string pattern = valueText(runner.random(), size, false);
        for (std::size_t i = 0; i < size; i += 1 + runner.random()() % 7)
            pattern[i] = "%_"[runner.random()() % 2];
        pattern.front() = '%';
        runner.run("LIKE wildcard", size, {size <= kOtherPattern, kOtherPattern}, [&] {
            (void)filteredRows(store, "UPPER(NOME) LIKE '" + pattern + "'");
            return std::string();
        });
    }
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t seed = 1;
    int rounds = 1;
    double limit = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seed")
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--rounds")
            rounds = std::atoi(argv[i + 1]);
        else if (option == "--limit")
            limit = std::atof(argv[i + 1]);
        else {
            std::fprintf(stderr, "usage: hostile_sizes [--seed N] [--rounds N] [--limit SECONDS]\n");
            return 2;
        }
    }
    const Clock::time_point start = Clock::now();
    Runner runner(seed, limit);
    for (int round = 0; round < rounds; ++round) {
        values(runner, true);
        values(runner, false);
        headerColumns(runner);
        headerEntries(runner);
        inLists(runner);
        likePatterns(runner);
    }
    std::printf("hostile_sizes: %d inputs, seed %llu, %d rounds, %.1f s, no fault\n", runner.inputs(),
                static_cast<unsigned long long>(seed), rounds,
                std::chrono::duration<double>(Clock::now() - start).count());
    return 0;
}
