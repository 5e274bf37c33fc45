#pragma once
// The rows of a data set, stored by column for speed: a million rows of a few fields load in
// about a second and filter in milliseconds. A store is immutable once built and may be shared
// by several data sets (a client data set and a plain one over the same rows).

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/store/TFieldDef.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qmr {

class TColumnStore;

/// Builds a store one value at a time, row by row, column by column. A value given twice for a
/// column, a column missed before endRow(), a value of the wrong type or a NaN raises an Exception
/// naming the row and the column; the row being built is then dropped and the builder stays usable.
class QMR_RUNTIME_EXPORT TColumnStoreBuilder {
public:
    /// A builder of a store with these fields, in column order.
    explicit TColumnStoreBuilder(std::vector<TFieldDef> fields);
    ~TColumnStoreBuilder();

    /// The fields, as given (sizes raised by setFieldSize).
    const std::vector<TFieldDef>& fields() const noexcept;
    /// Raises a string field's declared size (loaders size untyped columns to their longest value).
    void setFieldSize(int column, int size);
    /// Makes room for `rows` rows in all and `textBytes[c]` bytes of text in string column c, so
    /// that a loader that can foresee its size spares the copies of growing by doubling. Only a
    /// hint: more still fits, and finish() hands back most of the room left unused.
    void reserve(std::size_t rows, const std::vector<std::size_t>& textBytes);

    /// Gives column `column` (from 0) of the row being built its value: null, or one of the column's
    /// type (a string's bytes are Windows-1252 and copied). The class comment says what fails.
    ///@{
    void appendNull(int column);
    void appendString(int column, std::string_view value);
    void appendInteger(int column, std::int64_t value);
    void appendFloat(int column, double value);
    void appendBoolean(int column, bool value);
    ///@}
    /// Days since 1899-12-30, fraction for the time of day.
    void appendDateTime(int column, double value);
    /// Ends the current row; every column must have received exactly one value.
    void endRow();

    /// The finished store; the builder is empty afterwards (same fields, no rows). A row still
    /// being built raises an Exception naming its first missing column, as endRow() does.
    std::shared_ptr<const TColumnStore> finish();

    /// Rows ended so far.
    int rowCount() const noexcept;

private:
    void accept(int column, TFieldType type, const char* kind);
    [[noreturn]] void fail(int column, const std::string& what);
    void rollBackRow();
    void startStore();

    // Behind a pointer so that hosts, which build stores of their own rows, keep working when how
    // a store is built changes.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// Immutable columnar rows: each column's values in flat vectors, its nulls in a bitmap.
class QMR_RUNTIME_EXPORT TColumnStore {
public:
    ~TColumnStore();
    /// The number of rows.
    int rowCount() const noexcept;
    /// The number of fields (columns).
    int fieldCount() const noexcept;
    /// The definition of column `column` (from 0); EListError when out of range.
    const TFieldDef& fieldDef(int column) const;
    /// Whether the value at `row` and `column` (both from 0) is null; EListError when either is out
    /// of range.
    bool isNull(int row, int column) const;
    /// The value as text, as a grid shows it: strings as stored, integers in decimal, floats with up
    /// to 15 significant digits and a '.' ("12.5", "0.1"), Booleans "True"/"False", date-times
    /// "dd/mm/yyyy hh:nn:ss" or "dd/mm/yyyy" when the time is midnight; "" for null.
    AnsiString text(int row, int column) const;
    /// Memory the store holds, in bytes (for the benchmarks).
    std::size_t memoryBytes() const noexcept;

    // The columns' raw storage is the data layer's business: the filter evaluator and the index
    // builder reach it through a header of the data layer's own.
    struct Impl;
    /// The raw columns, for the data layer's filter and indexes; Impl is not declared to hosts.
    const Impl& impl() const noexcept { return *m_impl; }

private:
    friend class TColumnStoreBuilder;
    TColumnStore();
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
