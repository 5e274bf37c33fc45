#include <qmr41726/data/store/TColumnStore.h>

#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/Exception.h>

#include <string>

namespace qmr {

TColumnStore::TColumnStore() : m_impl(std::make_unique<Impl>()) {}

TColumnStore::~TColumnStore() = default;

int TColumnStore::rowCount() const noexcept {
    return m_impl->rows;
}

int TColumnStore::fieldCount() const noexcept {
    return int(m_impl->columns.size());
}

const TFieldDef& TColumnStore::fieldDef(int column) const {
    if (column < 0 || column >= fieldCount())
        throwListIndexError(column, fieldCount());
    return m_impl->columns[std::size_t(column)].def;
}

bool TColumnStore::isNull(int row, int column) const {
    if (row < 0 || row >= rowCount())
        throwListIndexError(row, rowCount());
    if (column < 0 || column >= fieldCount())
        throwListIndexError(column, fieldCount());
    return m_impl->columns[std::size_t(column)].isNull(std::uint32_t(row));
}

AnsiString TColumnStore::text(int row, int column) const {
    if (isNull(row, column))
        return {};
    return columnText(m_impl->columns[std::size_t(column)], std::uint32_t(row));
}

AnsiString columnText(const StoreColumn& c, std::uint32_t row) {
    if (c.isNull(row))
        return {};
    const std::size_t r = row;
    switch (c.def.type) {
    case TFieldType::ftString:
        return AnsiString(c.string(row));
    case TFieldType::ftInteger:
        return std::to_string(c.integers[r]);
    case TFieldType::ftFloat:
        return floatText(c.reals[r]);
    case TFieldType::ftBoolean:
        return c.booleans[r] ? "True" : "False";
    case TFieldType::ftDateTime:
        return dateTimeText(c.reals[r]);
    }
    return {};
}

std::size_t TColumnStore::memoryBytes() const noexcept {
    std::size_t total = sizeof(TColumnStore) + sizeof(Impl);
    for (const StoreColumn& c : m_impl->columns) {
        total += sizeof(StoreColumn) + c.def.name.capacity() + c.def.displayLabel.capacity();
        total += c.bytes.capacity() + c.offsets.capacity() * sizeof(std::uint32_t);
        total += c.integers.capacity() * sizeof(std::int64_t) + c.booleans.capacity();
        total += c.reals.capacity() * sizeof(double) + c.nullBits.capacity() * sizeof(std::uint64_t);
        total += c.codes.capacity() + c.heads.capacity() * 4;
        for (const std::string& value : c.dictionary)
            total += sizeof(std::string) + value.capacity();
    }
    return total;
}

} // namespace qmr
