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
    bool active() const noexcept;
    /// Opens on the store given at construction or by setStore(); EDatabaseError without one.
    void open();
    void close();
    /// Replaces the rows. An open data set closes and opens again on the new rows; if its filter
    /// does not fit them, the open raises EDatabaseError and the data set stays closed.
    void setStore(std::shared_ptr<const TColumnStore> store);
    const std::shared_ptr<const TColumnStore>& store() const noexcept;

    // --- fields (empty while closed) ---
    int fieldCount() const noexcept;
    /// The field at `index`; EListError when out of range.
    TField* field(int index) const;
    /// The field of that name (a-z case ignored), or nullptr.
    TField* findField(std::string_view name) const;
    /// The field of that name; EDatabaseError naming it when there is none.
    TField& fieldByName(std::string_view name) const;

    // --- cursor over the visible rows (filtered, in the current order) ---
    void first();
    void prior();
    void next();
    void last();
    bool bof() const noexcept;
    bool eof() const noexcept;
    /// Current row number from 1; 0 on an empty or closed data set.
    int recNo() const noexcept;
    /// Moves to row `recNo` (from 1); out-of-range values are clamped.
    void setRecNo(int recNo);
    int recordCount() const noexcept;
    bool isEmpty() const noexcept;

    // --- filter ---
    const AnsiString& filter() const noexcept;
    /// Sets the filter text. While Filtered is on the text is evaluated at once; a rejected text
    /// raises EDatabaseError naming the problem and its position, and nothing changes.
    void setFilter(const AnsiString& text);
    bool filtered() const noexcept;
    /// Switching on evaluates the filter text (see setFilter); switching off shows every row.
    void setFiltered(bool on);

    // --- rows by position in the view, for grids (row from 0) ---
    AnsiString text(int row, int fieldIndex) const;
    bool isNull(int row, int fieldIndex) const;

    // --- observers (data sources) ---
    void addObserver(TDataSetObserver* observer);
    void removeObserver(TDataSetObserver* observer);

protected:
    /// The order the rows are shown in: store row numbers, or nullptr for the store's order.
    /// A client data set returns its active index. Shared: a filter's rows may be runs of it.
    virtual std::shared_ptr<const std::vector<std::uint32_t>> rowOrder() const { return nullptr; }
    /// The leading key of rowOrder(): its column, direction and case rule. Lets a filter on that
    /// column find its rows by binary search.
    struct RowOrderKey {
        int column = -1;
        bool descending = false;
        bool caseInsensitive = false;
    };
    virtual RowOrderKey rowOrderKey() const { return {}; }
    /// setStore() replaced the rows: whatever a subclass built on the old ones must go.
    virtual void storeReplaced() {}
    /// Rebuilds the view after the order changed, keeping the current row current.
    void orderChanged();
    void notifyChanged();
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
