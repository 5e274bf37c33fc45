#pragma once
// Data sets: fields, a filtered and ordered view of the rows, and a cursor on it.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/dataset/TDataSetObserver.h>
#include <qmr41726/data/dataset/TField.h>
#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/rtl/TComponent.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

class FilterRows;
class TFilterProgram;

/// A data set over a column store: fields, the filter, the cursor. Not a client data set: it has
/// no index definitions and shows the rows in the store's order.
class QMR_RUNTIME_EXPORT TDataSet : public TComponent {
public:
    TDataSet();
    /// A data set opened on `store`.
    explicit TDataSet(std::shared_ptr<const TColumnStore> store);
    ~TDataSet() override;

    /// The live data set at this address, or nullptr when none lives there. Hosts pass data sets
    /// as integers; this is how the runtime tells a real one from a stray number. The address is
    /// only looked up, never followed.
    static TDataSet* fromAddress(std::intptr_t address) noexcept;

    // --- open state ---
    /// Whether the data set is open: its fields and rows exist only then.
    bool active() const noexcept;
    /// Opens on the store given at construction or by setStore(); EDatabaseError without one.
    void open();
    /// Closes the data set: its fields go, and observers are told. Closing a closed one does nothing.
    void close();
    /// Replaces the rows. An open data set closes and opens again on the new rows; if its filter
    /// does not fit them, the open raises EDatabaseError and the data set stays closed.
    void setStore(std::shared_ptr<const TColumnStore> store);
    /// The rows, shared with whoever else holds them; nullptr before any were given.
    const std::shared_ptr<const TColumnStore>& store() const noexcept;

    // --- fields (empty while closed) ---
    /// The number of fields, one a column of the store.
    int fieldCount() const noexcept;
    /// The field at `index`; EListError when out of range.
    TField* field(int index) const;
    /// The field of that name (a-z case ignored), or nullptr.
    TField* findField(std::string_view name) const;
    /// The field of that name; EDatabaseError naming it when there is none.
    TField& fieldByName(std::string_view name) const;

    // --- cursor over the visible rows (filtered, in the current order) ---
    /// Moves the cursor to the first, previous, next or last visible row. first() sets bof() and
    /// last() eof(), as do prior() on the first row and next() on the last, which stay there.
    ///@{
    void first();
    void prior();
    void next();
    void last();
    ///@}
    /// Whether the cursor stands at the beginning (bof) or the end (eof) of the rows, as the last
    /// move left it; both hold on an empty data set.
    ///@{
    bool bof() const noexcept;
    bool eof() const noexcept;
    ///@}
    /// Current row number from 1; 0 on an empty or closed data set.
    int recNo() const noexcept;
    /// Moves to row `recNo` (from 1); out-of-range values are clamped.
    void setRecNo(int recNo);
    /// The number of visible rows: all of them, or those the filter lets through while Filtered.
    int recordCount() const noexcept;
    /// Whether no row is visible (or the data set is closed).
    bool isEmpty() const noexcept;

    // --- filter ---
    /// The filter text: an expression of the filter language over the fields, "" for none.
    const AnsiString& filter() const noexcept;
    /// Sets the filter text. While Filtered is on the text is evaluated at once; a rejected text
    /// raises EDatabaseError naming the problem and its position, and nothing changes.
    void setFilter(const AnsiString& text);
    /// Whether the filter text is applied.
    bool filtered() const noexcept;
    /// Switching on evaluates the filter text (see setFilter); switching off shows every row.
    void setFiltered(bool on);

    // --- rows by position in the view, for grids (row from 0) ---
    /// The value at visible `row` (from 0, in the current order) of field `fieldIndex`, as text;
    /// EListError when either is out of range.
    AnsiString text(int row, int fieldIndex) const;
    /// Whether that value is null; EListError when either is out of range.
    bool isNull(int row, int fieldIndex) const;

    // --- observers (data sources) ---
    /// Registers `observer` (not owned) to hear of changes; it must remove itself before it goes.
    void addObserver(TDataSetObserver* observer);
    /// Stops telling `observer`; removing one never added does nothing.
    void removeObserver(TDataSetObserver* observer);

protected:
    /// The order the rows are shown in: store row numbers, or nullptr for the store's order.
    /// A client data set returns its active index. Shared: a filter's rows may be runs of it.
    virtual std::shared_ptr<const std::vector<std::uint32_t>> rowOrder() const { return nullptr; }
    /// The leading key of rowOrder(): its column, direction and case rule. Lets a filter on that
    /// column find its rows by binary search.
    struct RowOrderKey {
        /// The field the order is on; -1: none.
        int column = -1;
        /// Largest value first.
        bool descending = false;
        /// Whether a-z and A-Z sort as one.
        bool caseInsensitive = false;
    };
    /// The leading key of rowOrder(); a column of -1 when there is none.
    virtual RowOrderKey rowOrderKey() const { return {}; }
    /// setStore() replaced the rows: whatever a subclass built on the old ones must go.
    virtual void storeReplaced() {}
    /// Rebuilds the view after the order changed, keeping the current row current.
    void orderChanged();
    /// Tells the observers that everything shown is stale.
    void notifyChanged();
    /// Tells the observers that the current row moved.
    void notifyMoved();

private:
    std::shared_ptr<const FilterRows> runFilter(const AnsiString& text);
    void showRows(std::shared_ptr<const FilterRows> rows);
    std::shared_ptr<const FilterRows> reorderRows(const FilterRows& rows) const;
    std::uint32_t storeRow(int position) const;
    int positionOf(long long row) const;
    void moveTo(int position, bool bof, bool eof);
    void setCurrent(int position);
    void tellObservers(void (*call)(TDataSetObserver&, TDataSet&));

    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace qmr
