#include <qmr41726/data/dataset/TDataSet.h>

#include <qmr41726/data/dataset/DataSetState.h>
#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <mutex>
#include <unordered_set>

namespace qmr {

namespace {

// The addresses of the data sets alive now. Only ever compared, never followed.
struct LiveDataSets {
    std::mutex mutex;
    std::unordered_set<std::intptr_t> addresses;
};

LiveDataSets& liveDataSets() {
    static LiveDataSets registry;
    return registry;
}

std::intptr_t addressOf(const TDataSet* dataSet) {
    return reinterpret_cast<std::intptr_t>(dataSet);
}

} // namespace

TDataSet::TDataSet() : m_state(std::make_unique<State>()) {
    std::lock_guard lock(liveDataSets().mutex);
    liveDataSets().addresses.insert(addressOf(this));
}

TDataSet::TDataSet(std::shared_ptr<const TColumnStore> store) : TDataSet() {
    m_state->store = std::move(store);
    open();
}

TDataSet::~TDataSet() {
    {
        std::lock_guard lock(liveDataSets().mutex);
        liveDataSets().addresses.erase(addressOf(this));
    }
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.dataSetDestroyed(d); });
}

TDataSet* TDataSet::fromAddress(std::intptr_t address) noexcept {
    std::lock_guard lock(liveDataSets().mutex);
    if (liveDataSets().addresses.count(address) == 0)
        return nullptr;
    return reinterpret_cast<TDataSet*>(address);
}

// --- open state ---

bool TDataSet::active() const noexcept {
    return m_state->active;
}

void TDataSet::open() {
    State& s = *m_state;
    if (s.active)
        return;
    if (!s.store)
        throw EDatabaseError("Cannot open data set '" + name() + "': it has no rows to show");
    std::shared_ptr<const FilterRows> rows;
    if (s.filtered)
        rows = runFilter(s.filterText); // a rejected filter leaves the set closed
    for (int i = 0; i < s.store->fieldCount(); ++i)
        s.fields.push_back(std::make_unique<TField>(*this, i, s.store->fieldDef(i)));
    s.active = true;
    showRows(std::move(rows));
}

void TDataSet::close() {
    State& s = *m_state;
    if (!s.active)
        return;
    s.active = false;
    s.fields.clear();
    s.filteredRows.reset();
    s.engine.clear();
    setCurrent(-1);
    s.bof = s.eof = true;
    notifyChanged();
}

void TDataSet::setStore(std::shared_ptr<const TColumnStore> store) {
    const bool wasActive = m_state->active;
    close();
    m_state->store = std::move(store);
    m_state->engine.clear();
    m_state->engine.forgetPrograms();
    storeReplaced();
    if (wasActive && m_state->store)
        open();
}

const std::shared_ptr<const TColumnStore>& TDataSet::store() const noexcept {
    return m_state->store;
}

// --- fields ---

int TDataSet::fieldCount() const noexcept {
    return int(m_state->fields.size());
}

TField* TDataSet::field(int index) const {
    if (index < 0 || index >= fieldCount())
        throwListIndexError(index, fieldCount());
    return m_state->fields[std::size_t(index)].get();
}

TField* TDataSet::findField(std::string_view name) const {
    const AnsiString wanted = UpperCase(name);
    for (const auto& f : m_state->fields) {
        if (f->fieldName().size() == wanted.size() && UpperCase(f->fieldName()) == wanted)
            return f.get();
    }
    return nullptr;
}

TField& TDataSet::fieldByName(std::string_view name) const {
    if (TField* f = findField(name))
        return *f;
    const AnsiString owner = this->name().empty() ? AnsiString() : this->name() + ": ";
    throw EDatabaseError(owner + "Field '" + AnsiString(name) + "' not found");
}

// --- filter ---

const AnsiString& TDataSet::filter() const noexcept {
    return m_state->filterText;
}

bool TDataSet::filtered() const noexcept {
    return m_state->filtered;
}

void TDataSet::setFilter(const AnsiString& text) {
    State& s = *m_state;
    if (!s.filtered || !s.active) {
        s.filterText = text;
        return;
    }
    auto rows = runFilter(text);
    s.filterText = text;
    showRows(std::move(rows));
}

void TDataSet::setFiltered(bool on) {
    State& s = *m_state;
    if (on == s.filtered)
        return;
    if (!s.active) {
        s.filtered = on;
        return;
    }
    auto rows = on ? runFilter(s.filterText) : nullptr;
    s.filtered = on;
    showRows(std::move(rows));
}

std::shared_ptr<const FilterRows> TDataSet::runFilter(const AnsiString& text) {
    State& s = *m_state;
    auto program = s.engine.compile(text, *s.store);
    if (program->acceptsAll())
        return nullptr;
    const RowOrderKey key = rowOrderKey();
    const RowOrdering ordering{rowOrder(), key.column, key.descending, key.caseInsensitive};
    return s.engine.run(text, std::move(program), *s.store, ordering);
}

void TDataSet::showRows(std::shared_ptr<const FilterRows> rows) {
    State& s = *m_state;
    s.filteredRows = std::move(rows);
    setCurrent(recordCount() > 0 ? 0 : -1);
    s.bof = true;
    s.eof = s.current < 0;
    notifyChanged();
}

void TDataSet::orderChanged() {
    State& s = *m_state;
    if (!s.active) {
        s.engine.clear();
        return;
    }
    // A title click in the middle of a search: its keys go on building on the base filter's rows.
    s.engine.clearKeepingBase([&](const FilterRows& rows) { return reorderRows(rows); });
    const long long currentRow = s.currentRow;
    if (s.filteredRows) {
        s.filteredRows = reorderRows(*s.filteredRows);
        // They are the filter's result in the new order: a search's first key (the filter and a
        // LIKE on the index) then narrows them by the index instead of testing rows.
        s.engine.remember(s.filterText, s.engine.compile(s.filterText, *s.store), s.filteredRows);
    }
    setCurrent(positionOf(currentRow));
    s.bof = s.current <= 0;
    s.eof = s.current < 0;
    notifyChanged();
}

// Where store row `row` stands in the view: its position, or 0 (the first row) when it is not
// shown, or -1 when nothing is.
int TDataSet::positionOf(long long row) const {
    if (recordCount() == 0)
        return -1;
    if (row < 0)
        return 0;
    if (m_state->filteredRows)
        return int(std::max(m_state->filteredRows->positionOf(std::uint32_t(row)), 0LL));
    const auto order = rowOrder();
    if (!order)
        return int(row);
    const auto found = std::find(order->begin(), order->end(), std::uint32_t(row));
    return found == order->end() ? 0 : int(found - order->begin());
}

// The same rows as `rows`, in the order rowOrder() now gives.
std::shared_ptr<const FilterRows> TDataSet::reorderRows(const FilterRows& rows) const {
    const int total = m_state->store->rowCount();
    std::vector<bool> wanted(std::size_t(total), false);
    rows.forEachRun([&](const std::uint32_t* run, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            wanted[run[i]] = true;
    });
    RowList out;
    out.reserve(rows.size());
    const auto order = rowOrder();
    for (int i = 0; i < total; ++i) {
        const std::uint32_t row = order ? (*order)[std::size_t(i)] : std::uint32_t(i);
        if (wanted[row])
            out.push_back(row);
    }
    return std::make_shared<const FilterRows>(std::move(out));
}

// --- rows ---

void TDataSet::setCurrent(int position) {
    m_state->current = position;
    m_state->currentRow = position >= 0 ? (long long)storeRow(position) : -1;
}

std::uint32_t TDataSet::storeRow(int position) const {
    const State& s = *m_state;
    if (s.filteredRows)
        return (*s.filteredRows)[std::size_t(position)];
    const auto order = rowOrder();
    return order ? (*order)[std::size_t(position)] : std::uint32_t(position);
}

int TDataSet::recordCount() const noexcept {
    const State& s = *m_state;
    if (!s.active)
        return 0;
    if (s.filteredRows)
        return int(s.filteredRows->size());
    return s.store->rowCount();
}

bool TDataSet::isEmpty() const noexcept {
    return recordCount() == 0;
}

AnsiString TDataSet::text(int row, int fieldIndex) const {
    if (row < 0 || row >= recordCount())
        throwListIndexError(row, recordCount());
    if (fieldIndex < 0 || fieldIndex >= fieldCount())
        throwListIndexError(fieldIndex, fieldCount());
    return m_state->store->text(int(storeRow(row)), fieldIndex);
}

bool TDataSet::isNull(int row, int fieldIndex) const {
    if (row < 0 || row >= recordCount())
        throwListIndexError(row, recordCount());
    if (fieldIndex < 0 || fieldIndex >= fieldCount())
        throwListIndexError(fieldIndex, fieldCount());
    return m_state->store->isNull(int(storeRow(row)), fieldIndex);
}

} // namespace qmr
