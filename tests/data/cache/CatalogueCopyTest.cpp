#include "DataTestSupport.h"

#include <qmr41726/data/cache/CatalogueCopy.h>
#include <qmr41726/data/cache/CopyChecksum.h>
#include <qmr41726/data/cache/CopyFormat.h>
#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace qmr;
using namespace std::chrono;
namespace fs = std::filesystem;

namespace {

constexpr seconds kAnyAge{std::numeric_limits<int>::max()};

/// A folder of the test's own, removed with everything in it.
class Folder {
public:
    Folder() {
        std::string pattern = ::testing::TempDir() + "qmr_copy_XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a test folder: " + std::string(std::strerror(errno)));
        m_path = pattern;
    }
    ~Folder() { fs::remove_all(m_path); }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_path))
            found.push_back(entry.path().filename().string());
        return found;
    }

private:
    std::string m_path;
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void putBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

/// Every field type, nulls in each, a hidden field with a label, text coded (few values) and not.
std::shared_ptr<const TColumnStore> everyKindOfColumn(int rows) {
    std::vector<TFieldDef> fields = {
        fieldDef("NOME", TFieldType::ftString, 40), fieldDef("UF", TFieldType::ftString, 2),
        fieldDef("CODIGO", TFieldType::ftInteger),  fieldDef("PRECO", TFieldType::ftFloat),
        fieldDef("ATIVO", TFieldType::ftBoolean),   fieldDef("CADASTRO", TFieldType::ftDateTime, 0, false)};
    fields[5].displayLabel = "Cadastrado em";
    TColumnStoreBuilder builder(fields);
    for (int r = 0; r < rows; ++r) {
        const bool null = r % 7 == 3;
        null ? builder.appendNull(0) : builder.appendString(0, "Cliente " + std::to_string(r * 7919LL));
        builder.appendString(1, r % 3 == 0 ? "SP" : r % 3 == 1 ? "RJ" : "");
        null ? builder.appendNull(2) : builder.appendInteger(2, r - 1000000000000LL);
        null ? builder.appendNull(3) : builder.appendFloat(3, r * 0.25 - 3);
        null ? builder.appendNull(4) : builder.appendBoolean(4, r % 2 == 0);
        null ? builder.appendNull(5) : builder.appendDateTime(5, 45000 + r / 24.0);
        builder.endRow();
    }
    return builder.finish();
}

void expectSameStore(const TColumnStore& copy, const TColumnStore& original) {
    ASSERT_EQ(copy.rowCount(), original.rowCount());
    ASSERT_EQ(copy.fieldCount(), original.fieldCount());
    for (int c = 0; c < original.fieldCount(); ++c) {
        const TFieldDef &a = copy.fieldDef(c), &b = original.fieldDef(c);
        EXPECT_EQ(std::tie(a.name, a.type, a.size, a.visible, a.displayLabel),
                  std::tie(b.name, b.type, b.size, b.visible, b.displayLabel));
        const StoreColumn &x = copy.impl().columns[std::size_t(c)],
                          &y = original.impl().columns[std::size_t(c)];
        EXPECT_EQ(x.dictionary, y.dictionary) << b.name;
        EXPECT_EQ(x.heads.size(), y.heads.size()) << b.name << ": heads kept, not rebuilt";
        for (int r = 0; r < original.rowCount(); ++r) {
            ASSERT_EQ(copy.isNull(r, c), original.isNull(r, c)) << b.name << " row " << r;
            ASSERT_EQ(copy.text(r, c), original.text(r, c)) << b.name << " row " << r;
        }
    }
}

CopyError refusalOf(const std::string& path, seconds maxAge = kAnyAge) {
    const CatalogueCopy copy = openCatalogueCopy(path, maxAge);
    EXPECT_FALSE(copy) << path << " opened";
    return copy.error.value_or(CopyError{CopyErrorKind::Damaged, "(opened)"});
}

} // namespace

TEST(CatalogueCopy, readsBackEveryKindOfColumnAsWritten) {
    const Folder folder;
    const auto written = system_clock::time_point(milliseconds(1765300000123));
    for (const int rows : {0, 1, 5, 3000}) {
        const auto original = everyKindOfColumn(rows);
        const std::string path = folder.file("copy" + std::to_string(rows));
        ASSERT_EQ(writeCatalogueCopy(*original, path, written).value_or(CopyError{}).message, "");
        const CatalogueCopy copy = openCatalogueCopy(path, kAnyAge);
        ASSERT_TRUE(copy) << copy.error->message;
        EXPECT_EQ(copy.writtenAt, written);
        expectSameStore(*copy.store, *original);
        // The opened rows filter as the original's do (text heads, coded text, nulls).
        TDataSet fromCopy(copy.store), fromOriginal(original);
        for (TDataSet* dataSet : {&fromCopy, &fromOriginal}) {
            dataSet->setFilter("NOME LIKE 'Cliente 1%' AND UF = 'SP' AND ATIVO = TRUE");
            dataSet->setFiltered(true);
        }
        EXPECT_EQ(fromCopy.recordCount(), fromOriginal.recordCount()) << rows << " rows";
    }
    EXPECT_EQ(folder.names().size(), 4u) << "no temporary file is left behind";
}

TEST(CatalogueCopy, refusesWhatIsNoWholeCopyNamingWhatIsWrong) {
    const Folder folder;
    const std::string good = folder.file("good");
    ASSERT_FALSE(writeCatalogueCopy(*everyKindOfColumn(50), good, system_clock::now() - hours(2)));
    const std::string bytes = bytesOf(good);
    std::string otherVersion = bytes;
    otherVersion[offsetof(copyformat::Header, version)] = 2;
    fs::create_directory(folder.file("folder"));
    const struct {
        std::string name;
        std::string bytes; // written to the file unless the case is "missing" or "folder"
        seconds maxAge;
        CopyErrorKind kind;
        std::string words;
    } cases[] = {
        {"missing", "", kAnyAge, CopyErrorKind::NotFound, ": no such file"},
        {"folder", "", kAnyAge, CopyErrorKind::NotRegularFile, " is a directory"},
        {"empty", "", kAnyAge, CopyErrorKind::Damaged, " is empty"},
        {"header cut", bytes.substr(0, 20), kAnyAge, CopyErrorKind::Damaged,
         " is cut short: it holds 20 bytes"},
        {"body cut", bytes.substr(0, bytes.size() - 1), kAnyAge, CopyErrorKind::Damaged,
         " is cut short: it holds " + std::to_string(bytes.size() - 1) + " of its " +
             std::to_string(bytes.size())},
        {"grown", bytes + "x", kAnyAge, CopyErrorKind::Damaged, " has 1 bytes past its end"},
        {"csv", "NOME,UF\nJoao,SP\n" + std::string(64, ' '), kAnyAge, CopyErrorKind::Damaged,
         " is not a catalogue copy"},
        {"version 2", otherVersion, kAnyAge, CopyErrorKind::OtherVersion,
         " is a copy of format version 2; this program reads version 1"},
        // 7200 seconds, or a second or two more on a slow machine.
        {"too old", bytes, hours(1), CopyErrorKind::TooOld, " is 72"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file(c.name);
        if (c.name != "missing" && c.name != "folder")
            putBytes(path, c.bytes);
        const CopyError error = refusalOf(path, c.maxAge);
        EXPECT_EQ(error.kind, c.kind) << c.name << ": " << error.message;
        EXPECT_NE(error.message.find("catalogue copy " + path + c.words), std::string::npos)
            << c.name << ": " << error.message;
    }
}

TEST(CatalogueCopy, aFlippedByteAnywhereIsRefused) {
    const Folder folder;
    const std::string path = folder.file("copy");
    ASSERT_FALSE(writeCatalogueCopy(*everyKindOfColumn(20), path));
    const std::string bytes = bytesOf(path);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string flipped = bytes;
        flipped[at] = char(flipped[at] ^ 0x10);
        putBytes(path, flipped);
        const CatalogueCopy copy = openCatalogueCopy(path, kAnyAge);
        ASSERT_FALSE(copy) << "byte " << at << " of " << bytes.size() << " flipped, the copy opened";
        ASSERT_NE(copy.error->message.find(path), std::string::npos) << copy.error->message;
    }
}

// A hostile file's checksum can be right: its records must still never send the reader outside
// the file or outside an array.
TEST(CatalogueCopy, refusesRecordsPointingOutsideTheirArraysEvenWithTheRightChecksum) {
    using namespace copyformat;
    const Folder folder;
    const std::string path = folder.file("copy");
    ASSERT_FALSE(writeCatalogueCopy(*everyKindOfColumn(400), path)); // NOME of many values, uncoded
    const std::string bytes = bytesOf(path);
    const auto record = [](std::string& file, int column) {
        return reinterpret_cast<ColumnRecord*>(file.data() + sizeof(Header) +
                                               std::size_t(column) * sizeof(ColumnRecord));
    };
    const struct {
        const char* what;
        std::function<void(std::string&)> change;
        const char* words;
    } cases[] = {
        {"text past the end", [&](std::string& f) { record(f, 0)->bytes.offset = f.size() - 3; },
         "column 1 'NOME': its text"},
        {"huge count", [&](std::string& f) { record(f, 2)->integers.count = 1ull << 61; },
         "column 3 'CODIGO': its integers"},
        {"offsets out of order",
         [&](std::string& f) {
             auto* offsets = reinterpret_cast<std::uint32_t*>(f.data() + record(f, 0)->offsets.offset);
             offsets[5] = 0xFFFFFFF0u;
         },
         "column 1 'NOME': its text offsets do not run in order"},
        {"code past the dictionary", [&](std::string& f) { f[record(f, 1)->codes.offset + 9] = char(200); },
         "column 2 'UF': a row holds code 200 of a dictionary of 3 values"},
        {"misaligned reals", [&](std::string& f) { record(f, 3)->reals.offset += 1; },
         "column 4 'PRECO': its reals"},
        {"NaN",
         [&](std::string& f) {
             const double nan = std::numeric_limits<double>::quiet_NaN();
             std::memcpy(f.data() + record(f, 3)->reals.offset + 8, &nan, 8);
         },
         "column 4 'PRECO', row 2: NaN is not a value"},
        {"date-time past any calendar",
         [&](std::string& f) {
             const double far = 1e300;
             std::memcpy(f.data() + record(f, 5)->reals.offset, &far, 8);
         },
         "column 6 'CADASTRO', row 1: a date-time that is no number of days"},
        {"rows beyond the arrays", [&](std::string& f) { reinterpret_cast<Header*>(f.data())->rows = 401; },
         "column 1 'NOME': 401 text offsets where 402 were expected"},
        {"columns beyond the file",
         [&](std::string& f) { reinterpret_cast<Header*>(f.data())->columns = 1u << 30; },
         "claims 1073741824 columns"},
        {"unknown type", [&](std::string& f) { record(f, 4)->type = 9; },
         "column 5 'ATIVO': unknown field type 9"},
    };
    for (const auto& c : cases) {
        std::string changed = bytes;
        c.change(changed);
        reinterpret_cast<Header*>(changed.data())->checksum =
            copyChecksum(changed.data() + kChecksumFrom, changed.size() - kChecksumFrom);
        putBytes(path, changed);
        const CopyError error = refusalOf(path);
        EXPECT_EQ(error.kind, CopyErrorKind::Damaged) << c.what;
        EXPECT_NE(error.message.find(c.words), std::string::npos) << c.what << ": " << error.message;
    }
}

// The writer is killed (SIGKILL) at many points of writing a large copy, or meets a write error:
// the previous copy stays whole every time and opens with its rows.
TEST(CatalogueCopy, aWriterKilledOrFailingLeavesThePreviousCopyWhole) {
    const Folder folder;
    const std::string path = folder.file("copy");
    const auto previous = everyKindOfColumn(100);
    const auto large = everyKindOfColumn(400000);
    ASSERT_FALSE(writeCatalogueCopy(*previous, path));
    const auto inChild = [&](const std::function<void()>& body) {
        const pid_t child = fork();
        if (child == 0) {
            body();
            _exit(0);
        }
        return child;
    };
    // The delays spread the kills over a whole write, measured once here.
    const auto start = steady_clock::now();
    int status = 0;
    waitpid(inChild([&] { writeCatalogueCopy(*large, folder.file("timing")); }), &status, 0);
    const auto writeTime = steady_clock::now() - start;
    fs::remove(folder.file("timing"));
    int killedWhileWriting = 0;
    for (int attempt = 0; attempt < 200 && killedWhileWriting < 60; ++attempt) {
        ASSERT_FALSE(writeCatalogueCopy(*previous, path));
        const pid_t child = inChild([&] { writeCatalogueCopy(*large, path); });
        std::this_thread::sleep_for(writeTime * (attempt % 60) / 60);
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        killedWhileWriting += WIFSIGNALED(status) ? 1 : 0;
        const CatalogueCopy copy = openCatalogueCopy(path, kAnyAge);
        ASSERT_TRUE(copy) << "killed after " << attempt << " attempts: " << copy.error->message;
        ASSERT_TRUE(copy.store->rowCount() == 100 || copy.store->rowCount() == 400000);
    }
    EXPECT_GE(killedWhileWriting, 50);
    // The next write removes what the killed writers left.
    ASSERT_FALSE(writeCatalogueCopy(*previous, path));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"copy"});

    // A write that fails half-way (the file size limit): the error names the path and the cause,
    // and no temporary file is left.
    ASSERT_FALSE(writeCatalogueCopy(*previous, path));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    waitpid(inChild([&] {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{1 << 20, 1 << 20};
                setrlimit(RLIMIT_FSIZE, &limit);
                const std::string message = writeCatalogueCopy(*large, path).value_or(CopyError{}).message;
                [[maybe_unused]] const auto sent = write(pipeEnds[1], message.data(), message.size());
            }),
            &status, 0);
    close(pipeEnds[1]);
    char message[1024] = {};
    [[maybe_unused]] const auto got = read(pipeEnds[0], message, sizeof message - 1);
    close(pipeEnds[0]);
    EXPECT_NE(std::string(message).find("catalogue copy " + path + ": cannot write"), std::string::npos)
        << message;
    EXPECT_NE(std::string(message).find("(File too large); the previous copy is kept"), std::string::npos)
        << message;
    EXPECT_EQ(folder.names(), std::vector<std::string>{"copy"});
    const CatalogueCopy copy = openCatalogueCopy(path, kAnyAge);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy.store->rowCount(), 100);
}
