// Loading CSV files into a column store. The file is read a chunk at a time and split in place;
// values go straight from the text into the builder, so a million rows cost no allocation per
// value. Any error is raised before the store exists: a load either succeeds whole or not at all.

#include <qmr41726/data/load/CsvLoader.h>

#include <qmr41726/data/load/CsvHeader.h>
#include <qmr41726/data/load/FileSource.h>
#include <qmr41726/data/load/LoadBudget.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/load/TextColumnSizes.h>
#include <qmr41726/data/load/ValueParser.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace qmr {

namespace {

/// One load in progress: checks each row against the header and feeds the builder.
class CsvLoad {
public:
    CsvLoad(const CsvReader& reader, std::vector<TFieldDef> fields, LoadBudget& budget);
    void appendRow(const std::vector<CsvField>& fields);
    /// Makes room in the store for the whole file, foreseen from the rows read so far, which took
    /// `bytesSoFar` of the file's `fileBytes` bytes.
    void planFor(std::uint64_t bytesSoFar, std::uint64_t fileBytes);
    std::shared_ptr<const TColumnStore> finish();

private:
    void appendValue(int column, const CsvField& field);
    void appendString(int column, const CsvField& field, std::string_view text);
    void appendTyped(int column, const CsvField& field, std::string_view text);
    [[noreturn]] void fail(int column, const CsvField& field, const std::string& what) const;

    const CsvReader& m_reader;
    LoadBudget& m_budget;
    std::vector<TFieldDef> m_fields;
    TextColumnSizes m_sizes;
    /// Bytes of text given to each string column so far.
    std::vector<std::size_t> m_textBytes;
    int m_rows = 0;
    TColumnStoreBuilder m_builder;
    AnsiString m_converted;
};

CsvLoad::CsvLoad(const CsvReader& reader, std::vector<TFieldDef> fields, LoadBudget& budget)
    : m_reader(reader), m_budget(budget), m_fields(std::move(fields)), m_sizes(m_fields),
      m_textBytes(m_fields.size(), 0), m_builder(m_fields) {}

// A store grown by doubling copies each column about twice over and leaves up to half of it
// unused, to be copied once more when finished; at 10M rows that is a fifth of a load. Rows read
// so far foretell the rest closely enough: the room for what the file's remaining bytes hold at
// the same rate, and a little more. A plan that would take more than twice the file's size (a
// few short rows before long ones) or more than the load's memory bound is not made: the store
// then grows as it goes, and the bound speaks where it is passed.
void CsvLoad::planFor(std::uint64_t bytesSoFar, std::uint64_t fileBytes) {
    if (m_rows == 0 || bytesSoFar == 0 || fileBytes <= bytesSoFar)
        return;
    const double scale = double(fileBytes) / double(bytesSoFar) * 1.02;
    const auto rows = std::size_t(double(m_rows) * scale) + 1;
    std::vector<std::size_t> textBytes(m_fields.size(), 0);
    double planned = 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        textBytes[i] = std::size_t(double(m_textBytes[i]) * scale);
        planned += double(textBytes[i]) + double(rows) * 8;
    }
    if (planned > 2.0 * double(fileBytes) || planned > double(m_budget.limits().maxBytes))
        return;
    try {
        m_builder.reserve(rows, textBytes);
    } catch (const std::bad_alloc&) {
        // Only a plan: without the room, the store grows as it goes and fails where it must.
    }
}

void CsvLoad::fail(int column, const CsvField& field, const std::string& what) const {
    throwCsvError(m_reader.sourceName(), field.line, column + 1, what);
}

void CsvLoad::appendRow(const std::vector<CsvField>& fields) {
    const std::size_t expected = m_fields.size();
    if (fields.size() != expected) {
        const CsvField& at = fields.size() > expected ? fields[expected] : fields.back();
        const std::string found = std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields");
        throwCsvError(m_reader.sourceName(), at.line, int(std::min(fields.size(), expected)) + 1,
                      "the row has " + found + " where the header has " + std::to_string(expected));
    }
    for (std::size_t i = 0; i < expected; ++i)
        appendValue(int(i), fields[i]);
    m_builder.endRow();
    ++m_rows;
    if (const std::string passed = m_budget.endRow(); !passed.empty())
        throw ELoadError(LoadErrorKind::Refused, m_reader.sourceName() + ", line " +
                                                     std::to_string(fields.front().line) + ": " + passed);
}

// Text is UTF-8 in the file and Windows-1252 in the store; plain ASCII needs no conversion.
void CsvLoad::appendValue(int column, const CsvField& field) {
    std::string_view text;
    try {
        text = utf8AsAnsi(field.text, m_converted);
    } catch (const EConvertError& error) {
        fail(column, field, error.Message());
    }
    m_budget.hold(std::size_t(column), LoadBudget::storeBytes(m_fields[column].type, text.size()));
    if (m_fields[column].type == TFieldType::ftString)
        appendString(column, field, text);
    else
        appendTyped(column, field, text);
}

// An empty string value is an empty string, not null: the file cannot tell them apart, and a
// search over text columns treats both alike.
void CsvLoad::appendString(int column, const CsvField& field, std::string_view text) {
    const std::string tooLong =
        m_sizes.add(column, text, "the field " + nameExcerpt(m_fields[column].name, kNameExcerptBytes));
    if (!tooLong.empty())
        fail(column, field, tooLong);
    m_textBytes[column] += text.size();
    m_builder.appendString(column, text);
}

void CsvLoad::appendTyped(int column, const CsvField& field, std::string_view text) {
    if (trimBlanks(text).empty()) {
        m_builder.appendNull(column);
        return;
    }
    const char* why = nullptr;
    switch (m_fields[column].type) {
    case TFieldType::ftInteger: {
        std::int64_t value = 0;
        if (!(why = parseInteger(text, value)))
            m_builder.appendInteger(column, value);
        break;
    }
    case TFieldType::ftFloat: {
        double value = 0;
        if (!(why = parseFloat(text, value)))
            m_builder.appendFloat(column, value);
        break;
    }
    case TFieldType::ftBoolean: {
        bool value = false;
        if (!(why = parseBoolean(text, value)))
            m_builder.appendBoolean(column, value);
        break;
    }
    case TFieldType::ftDateTime: {
        double value = 0;
        if (!(why = parseDateTime(text, value)))
            m_builder.appendDateTime(column, value);
        break;
    }
    case TFieldType::ftString:
        break;
    }
    if (why)
        fail(column, field,
             quotedExcerpt(text) + " " + why + " (field " +
                 nameExcerpt(m_fields[column].name, kNameExcerptBytes) + ")");
}

std::shared_ptr<const TColumnStore> CsvLoad::finish() {
    m_sizes.applyTo(m_builder);
    return m_builder.finish();
}

// Files from this size on are worth planning the store's room for.
constexpr std::uint64_t kPlannedFileBytes = std::uint64_t(1) << 24;

std::shared_ptr<const TColumnStore> loadCsv(CsvReader& reader, std::uint64_t fileBytes,
                                            const LoadLimits& limits) {
    std::vector<CsvField> fields;
    if (!reader.readRecord(fields))
        throwCsvError(reader.sourceName(), 1, 1, "the file is empty; its first line must name the fields");
    // A file's rows are bounded by its memory alone; the bound on rows is a query's.
    LoadLimits memoryOnly = limits;
    memoryOnly.maxRows = std::numeric_limits<long long>::max();
    LoadBudget budget(memoryOnly);
    CsvLoad load(reader, parseCsvHeader(fields, reader.sourceName()), budget);
    const std::uint64_t headerBytes = reader.bytesConsumed();
    // The plan is made once a sixteenth of the file is in: early enough to spare most copies,
    // late enough that the rows read stand for the rest (numbered codes grow longer down a file).
    std::uint64_t planAt = fileBytes >= kPlannedFileBytes ? headerBytes + fileBytes / 16 : 0;
    while (reader.readRecord(fields)) {
        load.appendRow(fields);
        if (planAt != 0 && reader.bytesConsumed() >= planAt) {
            load.planFor(reader.bytesConsumed() - headerBytes, fileBytes - headerBytes);
            planAt = 0;
        }
    }
    return load.finish();
}

/// Text in memory as a source.
class TextSource final : public ByteSource {
public:
    explicit TextSource(std::string_view text) : m_rest(text) {}
    std::size_t read(char* into, std::size_t size) override {
        const std::size_t count = std::min(size, m_rest.size());
        std::memcpy(into, m_rest.data(), count);
        m_rest.remove_prefix(count);
        return count;
    }

private:
    std::string_view m_rest;
};

} // namespace

std::shared_ptr<const TColumnStore> loadCsvFrom(ByteSource& source, const std::string& sourceName,
                                                std::size_t chunkBytes, const LoadLimits& limits) {
    CsvReader reader(source, sourceName, chunkBytes);
    std::shared_ptr<const TColumnStore> store;
    try {
        store = loadCsv(reader, source.expectedBytes(), limits);
    } catch (const EDatabaseError&) {
        // A file cut short or rewritten half-way reads as broken CSV: say what really happened.
        source.checkUnchanged();
        throw;
    } catch (const std::bad_alloc&) {
        throw ELoadError(LoadErrorKind::Refused,
                         sourceName + ", line " + std::to_string(std::max(1, reader.recordLine())) +
                             ": not enough memory to load the rows; nothing was loaded");
    }
    source.checkUnchanged();
    return store;
}

std::shared_ptr<const TColumnStore> loadCsvFile(const std::string& path) {
    return loadCsvFile(path, LoadLimits{});
}

std::shared_ptr<const TColumnStore> loadCsvFile(const std::string& path, const LoadLimits& limits) {
    FileSource file(path);
    return loadCsvFrom(file, nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8), CsvReader::kChunkBytes,
                       limits);
}

std::shared_ptr<const TColumnStore> loadCsvText(std::string_view text, const std::string& sourceName) {
    TextSource source(text);
    return loadCsvFrom(source, sourceName);
}

} // namespace qmr
