#pragma once
// The client data set: a data set with index definitions and an active index that orders it.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/dataset/TDataSet.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace qmr {

/// Options of an index definition; empty means ascending, case-sensitive, not unique.
enum class TIndexOption : unsigned {
    ixPrimary = 1,
    ixUnique = 2,
    ixDescending = 4,
    ixCaseInsensitive = 8,
};
/// TIndexOption bits ORed together.
using TIndexOptions = unsigned;

/// One index definition: a name and the fields (names joined by ';') it orders by.
class QMR_RUNTIME_EXPORT TIndexDef {
public:
    /// A definition named `name` ordering by `fields` (names joined by ';') with `options`.
    TIndexDef(AnsiString name, AnsiString fields, TIndexOptions options);
    /// Copies hold their own copy of the definition: no copy is ever left empty.
    ///@{
    TIndexDef(const TIndexDef& other);
    TIndexDef& operator=(const TIndexDef& other);
    ///@}
    ~TIndexDef();
    /// The definition's name, by which setIndexName chooses it.
    const AnsiString& name() const noexcept;
    /// The fields it orders by, names joined by ';'.
    const AnsiString& fields() const noexcept;
    /// TIndexOption bits.
    TIndexOptions options() const noexcept;

private:
    // Behind a pointer so that a definition can say more without a new SOVERSION. Copies copy
    // the definition: none is ever left empty.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// The index definitions of a client data set.
class QMR_RUNTIME_EXPORT TIndexDefs {
public:
    TIndexDefs();
    ~TIndexDefs();
    TIndexDefs(const TIndexDefs&) = delete;
    TIndexDefs& operator=(const TIndexDefs&) = delete;

    /// The number of definitions.
    int count() const noexcept;
    /// The definition at `index`; EListError when out of range.
    const TIndexDef& item(int index) const;
    /// Deletes the definition at `index`; EListError when out of range.
    void remove(int index);
    /// Adds a definition; the names are not checked until an index is chosen.
    void add(AnsiString name, AnsiString fields, TIndexOptions options);
    /// Position of the definition of that name (a-z case ignored), or -1.
    int indexOf(std::string_view name) const;

private:
    // Behind a pointer so that how the definitions are kept can change without a new SOVERSION.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// A data set that holds index definitions and is ordered by its active index.
class QMR_RUNTIME_EXPORT TClientDataSet : public TDataSet {
public:
    TClientDataSet();
    /// A client data set opened on `store`, in the store's order.
    explicit TClientDataSet(std::shared_ptr<const TColumnStore> store);
    ~TClientDataSet() override;

    /// The index definitions, which setIndexName chooses from.
    ///@{
    TIndexDefs& indexDefs() noexcept;
    const TIndexDefs& indexDefs() const noexcept;
    ///@}

    /// The active index's name; "" while the rows are in the store's order.
    const AnsiString& indexName() const noexcept;
    /// Orders the rows by the named index (stable, by the field types' natural order: strings by
    /// their bytes as unsigned values, numbers and date-times by value, False before True, nulls
    /// first); the current row stays current. Empty restores the store's order. An unknown
    /// name, or a definition naming an unknown field, raises EDatabaseError naming it and changes
    /// nothing. Each order is built once per store and kept (the last kKeptOrders used), so
    /// switching back, or setting the same index again, builds nothing.
    /// Deleting the active index's definition keeps its order (and name) until the next call.
    void setIndexName(const AnsiString& name);

    /// Orders kept for the current store at most; each takes 4 bytes a row.
    static constexpr std::size_t kKeptOrders = 4;

protected:
    std::shared_ptr<const std::vector<std::uint32_t>> rowOrder() const override;
    RowOrderKey rowOrderKey() const override;
    void storeReplaced() override;

private:
    struct Indexes;
    std::unique_ptr<Indexes> m_indexes;
};

} // namespace qmr
