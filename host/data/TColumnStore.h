#pragma once
// The rows of a data set, stored by column for speed: a million rows of a few fields load in
// about a second and filter in milliseconds. A store is immutable once built and may be shared
// by several data sets (a client data set and a plain one over the same rows).

#include "host/data/TField.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TColumnStore;

/// Builds a store one value at a time, row by row, column by column.
class TColumnStoreBuilder {
public:
    explicit TColumnStoreBuilder(std::vector<TFieldDef> fields);
    ~TColumnStoreBuilder();

    const std::vector<TFieldDef>& fields() const noexcept;
    /// Raises a string field's declared size (loaders size untyped columns to their longest value).
    void setFieldSize(int column, int size);

    void appendNull(int column);
    void appendString(int column, std::string_view value);
    void appendInteger(int column, std::int64_t value);
    void appendFloat(int column, double value);
    void appendBoolean(int column, bool value);
    /// Days since 1899-12-30, fraction for the time of day.
    void appendDateTime(int column, double value);
    /// Ends the current row; every column must have received exactly one value.
    void endRow();

    /// The finished store; the builder is empty afterwards.
    std::shared_ptr<const TColumnStore> finish();

private:
    std::unique_ptr<TColumnStore> m_store;
};

/// Immutable columnar rows. See TColumnStore.cpp for the layout.
class TColumnStore {
public:
    ~TColumnStore();
    int rowCount() const noexcept;
    int fieldCount() const noexcept;
    const TFieldDef& fieldDef(int column) const;
    bool isNull(int row, int column) const;
    /// The value as text, as a grid shows it.
    AnsiString text(int row, int column) const;
    /// Memory the store holds, in bytes (for the benchmarks).
    std::size_t memoryBytes() const noexcept;

    // The columns' raw storage is the data layer's business: the filter evaluator and the index
    // builder reach it through the accessors declared in TColumnStore.cpp's companion headers.
    struct Impl;
    const Impl& impl() const noexcept { return *m_impl; }

private:
    friend class TColumnStoreBuilder;
    TColumnStore();
    std::unique_ptr<Impl> m_impl;
};
