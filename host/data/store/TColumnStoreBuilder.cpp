#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/data/store/InParallel.h>
#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace qmr {

namespace {

// The first and last days a date-time may count from 1899-12-30: 01/01/0001 and 31/12/9999.
constexpr double kFirstDateTime = -693593;
constexpr double kLastDateTime = 2958465;

// Stores from this many rows on finish their text columns on two threads.
constexpr std::size_t kRowsToShare = 65536;

// Numbers the values of a string column that has at most 255 distinct ones (see StoreColumn);
// gives up, leaving the column as it is, at the 256th.
void encodeFewValues(StoreColumn& c, OwnedColumn& arrays, std::size_t rows) {
    std::unordered_map<std::string_view, std::uint8_t> numbers;
    std::vector<std::uint8_t> codes(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto [it, isNew] =
            numbers.try_emplace(c.string(std::uint32_t(row)), std::uint8_t(numbers.size()));
        if (isNew && numbers.size() > 255)
            return;
        codes[row] = it->second;
    }
    std::vector<std::string> dictionary(numbers.size());
    for (const auto& [text, number] : numbers)
        dictionary[number] = std::string(text);
    c.dictionary = std::move(dictionary);
    arrays.codes = std::move(codes);
    // The values now live in the dictionary; the arena they were read from goes.
    std::string().swap(arrays.bytes);
    std::vector<std::uint32_t>().swap(arrays.offsets);
    arrays.showIn(c);
}

// Copies each row's first 4 bytes into the column's heads (see StoreColumn).
void keepHeads(StoreColumn& c, OwnedColumn& arrays, std::size_t rows) {
    arrays.heads.assign(rows, {'\0', '\0', '\0', '\0'});
    for (std::size_t row = 0; row < rows; ++row) {
        const std::string_view text = c.string(std::uint32_t(row));
        std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 4), arrays.heads[row].begin());
    }
    arrays.showIn(c);
}

// Hands back a vector's unused room when it is more than an eighth of what it holds: a store
// is immutable once finished, and doubling may have left up to half unused. A loader's good
// estimate is kept as it is, sparing the copy.
template <class Vector> void handBackSlack(Vector& values) {
    if (values.capacity() - values.size() > values.size() / 8)
        values.shrink_to_fit();
}

// Drops every value past `rows` (the values of a row that failed half-way).
void truncateColumn(OwnedColumn& c, std::size_t rows) {
    if (c.offsets.size() > rows + 1) {
        c.bytes.resize(c.offsets[rows]);
        c.offsets.resize(rows + 1);
    }
    if (c.integers.size() > rows)
        c.integers.resize(rows);
    if (c.booleans.size() > rows)
        c.booleans.resize(rows);
    if (c.reals.size() > rows)
        c.reals.resize(rows);
    if (c.nullBits.size() > (rows + 63) / 64)
        c.nullBits.resize((rows + 63) / 64);
    if (!c.nullBits.empty() && rows % 64 != 0)
        c.nullBits.back() &= (std::uint64_t(1) << (rows % 64)) - 1;
}

} // namespace

struct TColumnStoreBuilder::Impl {
    std::vector<TFieldDef> fields;
    std::unique_ptr<TColumnStore> store;
    /// Which columns already hold a value in the row being built, and how many.
    std::vector<std::uint8_t> given;
    int givenCount = 0;
};

TColumnStoreBuilder::TColumnStoreBuilder(std::vector<TFieldDef> fields)
    : m_impl(std::make_unique<Impl>(Impl{std::move(fields), nullptr, {}, 0})) {
    startStore();
}

TColumnStoreBuilder::~TColumnStoreBuilder() = default;

void TColumnStoreBuilder::startStore() {
    m_impl->store.reset(new TColumnStore());
    m_impl->store->m_impl->columns.resize(m_impl->fields.size());
    m_impl->store->m_impl->owned.resize(m_impl->fields.size());
    for (std::size_t i = 0; i < m_impl->fields.size(); ++i)
        m_impl->store->m_impl->columns[i].def.type = m_impl->fields[i].type;
    m_impl->given.assign(m_impl->fields.size(), 0);
    m_impl->givenCount = 0;
}

const std::vector<TFieldDef>& TColumnStoreBuilder::fields() const noexcept {
    return m_impl->fields;
}

int TColumnStoreBuilder::rowCount() const noexcept {
    return m_impl->store->m_impl->rows;
}

void TColumnStoreBuilder::setFieldSize(int column, int size) {
    if (column < 0 || column >= int(m_impl->fields.size()))
        throwListIndexError(column, int(m_impl->fields.size()));
    if (size > m_impl->fields[std::size_t(column)].size)
        m_impl->fields[std::size_t(column)].size = size;
}

void TColumnStoreBuilder::reserve(std::size_t rows, const std::vector<std::size_t>& textBytes) {
    for (std::size_t i = 0; i < m_impl->store->m_impl->columns.size(); ++i) {
        OwnedColumn& c = m_impl->store->m_impl->owned[i];
        switch (m_impl->store->m_impl->columns[i].def.type) {
        case TFieldType::ftString:
            c.offsets.reserve(rows + 1);
            if (i < textBytes.size())
                c.bytes.reserve(textBytes[i]);
            break;
        case TFieldType::ftInteger:
            c.integers.reserve(rows);
            break;
        case TFieldType::ftBoolean:
            c.booleans.reserve(rows);
            break;
        case TFieldType::ftFloat:
        case TFieldType::ftDateTime:
            c.reals.reserve(rows);
            break;
        }
    }
}

void TColumnStoreBuilder::fail(int column, const std::string& what) {
    std::string where = "Row " + std::to_string(m_impl->store->m_impl->rows + 1) + ", column ";
    if (column >= 0 && column < int(m_impl->fields.size()))
        where += std::to_string(column + 1) + " '" + m_impl->fields[std::size_t(column)].name + "'";
    else
        where += std::to_string(column + 1);
    rollBackRow();
    throw EDatabaseError(where + ": " + what);
}

void TColumnStoreBuilder::rollBackRow() {
    for (OwnedColumn& c : m_impl->store->m_impl->owned)
        truncateColumn(c, std::size_t(m_impl->store->m_impl->rows));
    m_impl->given.assign(m_impl->given.size(), 0);
    m_impl->givenCount = 0;
}

void TColumnStoreBuilder::accept(int column, TFieldType type, const char* kind) {
    const auto& columns = m_impl->store->m_impl->columns;
    if (column < 0 || column >= int(columns.size()))
        fail(column, "no such column (the store has " + std::to_string(columns.size()) + ")");
    if (m_impl->given[std::size_t(column)])
        fail(column, "value given twice");
    if (kind && columns[std::size_t(column)].def.type != type)
        fail(column, std::string(kind) + " value given to a field of type " +
                         fieldTypeName(columns[std::size_t(column)].def.type));
    m_impl->given[std::size_t(column)] = 1;
    ++m_impl->givenCount;
}

void TColumnStoreBuilder::appendNull(int column) {
    accept(column, TFieldType::ftString, nullptr);
    OwnedColumn& c = m_impl->store->m_impl->owned[std::size_t(column)];
    const auto row = std::size_t(m_impl->store->m_impl->rows);
    if (c.nullBits.size() < row / 64 + 1)
        c.nullBits.resize(row / 64 + 1, 0);
    c.nullBits[row / 64] |= std::uint64_t(1) << (row % 64);
    switch (m_impl->store->m_impl->columns[std::size_t(column)].def.type) {
    case TFieldType::ftString:
        c.offsets.push_back(c.offsets.back());
        break;
    case TFieldType::ftInteger:
        c.integers.push_back(0);
        break;
    case TFieldType::ftBoolean:
        c.booleans.push_back(0);
        break;
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime:
        c.reals.push_back(0);
        break;
    }
}

void TColumnStoreBuilder::appendString(int column, std::string_view value) {
    accept(column, TFieldType::ftString, "string");
    OwnedColumn& c = m_impl->store->m_impl->owned[std::size_t(column)];
    if (c.bytes.size() + value.size() > std::numeric_limits<std::uint32_t>::max())
        fail(column, "the column's text exceeds 4 GB");
    c.bytes.append(value);
    c.offsets.push_back(std::uint32_t(c.bytes.size()));
}

void TColumnStoreBuilder::appendInteger(int column, std::int64_t value) {
    accept(column, TFieldType::ftInteger, "integer");
    m_impl->store->m_impl->owned[std::size_t(column)].integers.push_back(value);
}

void TColumnStoreBuilder::appendFloat(int column, double value) {
    accept(column, TFieldType::ftFloat, "float");
    if (std::isnan(value))
        fail(column, "NaN is not a value");
    m_impl->store->m_impl->owned[std::size_t(column)].reals.push_back(value);
}

void TColumnStoreBuilder::appendBoolean(int column, bool value) {
    accept(column, TFieldType::ftBoolean, "Boolean");
    m_impl->store->m_impl->owned[std::size_t(column)].booleans.push_back(value ? 1 : 0);
}

void TColumnStoreBuilder::appendDateTime(int column, double value) {
    accept(column, TFieldType::ftDateTime, "date-time");
    if (!std::isfinite(value))
        fail(column, "a date-time must be a finite number of days");
    // Days of the years 1 to 9999, the dates text and the grid can show; a day counted past them
    // (1e300 from a damaged file) would overflow every conversion that reads it.
    if (value <= kFirstDateTime - 1 || value >= kLastDateTime + 1)
        fail(column, "the date-time " + floatText(value) + " lies outside 01/01/0001 to 31/12/9999 (days " +
                         std::to_string(std::int64_t(kFirstDateTime)) + " to " +
                         std::to_string(std::int64_t(kLastDateTime)) + ")");
    m_impl->store->m_impl->owned[std::size_t(column)].reals.push_back(value);
}

void TColumnStoreBuilder::endRow() {
    const auto& columns = m_impl->store->m_impl->columns;
    if (m_impl->givenCount != int(columns.size())) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (!m_impl->given[i])
                fail(int(i), "no value given before the end of the row");
        }
    }
    ++m_impl->store->m_impl->rows;
    m_impl->given.assign(m_impl->given.size(), 0);
    m_impl->givenCount = 0;
}

std::shared_ptr<const TColumnStore> TColumnStoreBuilder::finish() {
    if (m_impl->givenCount != 0)
        endRow();
    std::vector<std::size_t> texts;
    for (std::size_t i = 0; i < m_impl->fields.size(); ++i) {
        StoreColumn& c = m_impl->store->m_impl->columns[i];
        OwnedColumn& arrays = m_impl->store->m_impl->owned[i];
        c.def = m_impl->fields[i];
        handBackSlack(arrays.bytes);
        handBackSlack(arrays.offsets);
        handBackSlack(arrays.integers);
        handBackSlack(arrays.booleans);
        handBackSlack(arrays.reals);
        handBackSlack(arrays.nullBits);
        arrays.showIn(c);
        if (c.def.type == TFieldType::ftString)
            texts.push_back(i);
    }
    // Each text column is numbered or given its heads on its own, a pass over every row: with
    // several such columns, a second thread takes every other one.
    const auto rows = std::size_t(m_impl->store->m_impl->rows);
    const bool share = texts.size() > 1 && rows >= kRowsToShare;
    inParallel(share, [&](int half) {
        for (std::size_t i = std::size_t(half); i < texts.size(); i += share ? 2 : 1) {
            StoreColumn& c = m_impl->store->m_impl->columns[texts[i]];
            OwnedColumn& arrays = m_impl->store->m_impl->owned[texts[i]];
            encodeFewValues(c, arrays, rows);
            if (!c.isCoded())
                keepHeads(c, arrays, rows);
        }
    });
    std::shared_ptr<const TColumnStore> done(m_impl->store.release());
    startStore();
    return done;
}

} // namespace qmr
