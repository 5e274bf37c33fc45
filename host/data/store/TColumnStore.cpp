#include <qmr41726/data/store/TColumnStore.h>

#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/Exception.h>

#include <string>

namespace qmr {

TColumnStore::TColumnStore() : m_impl(std::make_unique<Impl>()) {}

std::shared_ptr<const TColumnStore> TColumnStore::Impl::adopt(std::unique_ptr<Impl> impl) {
    std::shared_ptr<TColumnStore> store(new TColumnStore());
    store->m_impl = std::move(impl);
    return store;
}

void OwnedColumn::showIn(StoreColumn& column) const noexcept {
    column.bytes = bytes;
    column.offsets = offsets;
    column.integers = integers;
    column.booleans = booleans;
    column.reals = reals;
    column.nullBits = nullBits;
    column.codes = codes;
    column.heads = heads;
}

std::size_t OwnedColumn::capacityBytes() const noexcept {
    return bytes.capacity() + offsets.capacity() * sizeof(std::uint32_t) +
           integers.capacity() * sizeof(std::int64_t) + booleans.capacity() +
           reals.capacity() * sizeof(double) + nullBits.capacity() * sizeof(std::uint64_t) +
           codes.capacity() + heads.capacity() * 4;
}

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
    std::size_t total = sizeof(TColumnStore) + sizeof(Impl) + m_impl->mappedBytes;
    for (const OwnedColumn& arrays : m_impl->owned)
        total += sizeof(OwnedColumn) + arrays.capacityBytes();
    for (const StoreColumn& c : m_impl->columns) {
        total += sizeof(StoreColumn) + c.def.name.capacity() + c.def.displayLabel.capacity();
        for (const std::string& value : c.dictionary)
            total += sizeof(std::string) + value.capacity();
    }
    return total;
}

} // namespace qmr
