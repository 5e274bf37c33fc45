#include "host/data/TClientDataSet.h"

#include "host/data/IndexOrder.h"
#include "host/rtl/Exception.h"

#include <map>

namespace qmr {

namespace {

// The names in a field list "A;B;C", blanks around each name dropped.
std::vector<AnsiString> splitFieldList(const AnsiString& fields) {
    std::vector<AnsiString> names;
    std::size_t start = 0;
    while (start <= fields.size()) {
        std::size_t end = fields.find(';', start);
        if (end == AnsiString::npos)
            end = fields.size();
        std::string_view name(fields.data() + start, end - start);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

int findColumn(const TColumnStore& store, const AnsiString& name) {
    const AnsiString wanted = UpperCase(name);
    for (int i = 0; i < store.fieldCount(); ++i) {
        if (UpperCase(store.fieldDef(i).name) == wanted)
            return i;
    }
    return -1;
}

// The keys of an index definition over `store`; EDatabaseError naming an unknown field.
std::vector<IndexKey> keysOf(const TIndexDef& def, const TColumnStore& store) {
    std::vector<IndexKey> keys;
    for (const AnsiString& name : splitFieldList(def.fields())) {
        const int column = findColumn(store, name);
        if (column < 0)
            throw EDatabaseError("Index '" + def.name() + "': field '" + name + "' not found");
        keys.push_back({column, (def.options() & unsigned(TIndexOption::ixDescending)) != 0,
                        (def.options() & unsigned(TIndexOption::ixCaseInsensitive)) != 0});
    }
    return keys;
}

// What makes two indexes order alike: their columns and options, whatever their names.
std::string cacheKey(const std::vector<IndexKey>& keys) {
    std::string key;
    for (const IndexKey& k : keys)
        key += std::to_string(k.column) + (k.descending ? "d" : "a") + (k.caseInsensitive ? "i;" : "s;");
    return key;
}

} // namespace

struct TClientDataSet::Indexes {
    TIndexDefs defs;
    AnsiString activeName;
    /// Every order built so far for the current store; built once, kept while the store lasts.
    std::map<std::string, std::vector<std::uint32_t>> built;
    const std::vector<std::uint32_t>* active = nullptr;
    RowOrderKey activeKey;

    // Activates the order of `def` over `store`, building it on first use.
    void activate(const TIndexDef& def, const TColumnStore& store) {
        const std::vector<IndexKey> keys = keysOf(def, store);
        auto [it, isNew] = built.try_emplace(cacheKey(keys));
        if (isNew)
            it->second = buildIndexOrder(store, keys);
        active = &it->second;
        activeKey = {keys.front().column, keys.front().descending, keys.front().caseInsensitive};
    }
};

TClientDataSet::TClientDataSet() : m_indexes(std::make_unique<Indexes>()) {}

TClientDataSet::TClientDataSet(std::shared_ptr<const TColumnStore> store)
    : TDataSet(std::move(store)), m_indexes(std::make_unique<Indexes>()) {}

TClientDataSet::~TClientDataSet() = default;

TIndexDefs& TClientDataSet::indexDefs() noexcept {
    return m_indexes->defs;
}

const TIndexDefs& TClientDataSet::indexDefs() const noexcept {
    return m_indexes->defs;
}

const AnsiString& TClientDataSet::indexName() const noexcept {
    return m_indexes->activeName;
}

void TClientDataSet::setIndexName(const AnsiString& name) {
    Indexes& x = *m_indexes;
    if (name.empty()) {
        x.activeName.clear();
        x.active = nullptr;
        x.activeKey = {};
        orderChanged();
        return;
    }
    const int position = x.defs.indexOf(name);
    if (position < 0)
        throw EDatabaseError("Index '" + name + "' not found");
    const TIndexDef& def = x.defs.item(position);
    if (splitFieldList(def.fields()) == std::vector<AnsiString>{""})
        throw EDatabaseError("Index '" + def.name() + "' has no fields");
    if (store())
        x.activate(def, *store());
    x.activeName = def.name();
    orderChanged();
}

const std::vector<std::uint32_t>* TClientDataSet::rowOrder() const {
    return m_indexes ? m_indexes->active : nullptr;
}

TDataSet::RowOrderKey TClientDataSet::rowOrderKey() const {
    return m_indexes ? m_indexes->activeKey : RowOrderKey{};
}

void TClientDataSet::storeReplaced() {
    Indexes& x = *m_indexes;
    x.built.clear();
    x.active = nullptr;
    x.activeKey = {};
    const int position = x.defs.indexOf(x.activeName);
    if (!store() || x.activeName.empty() || position < 0)
        return;
    try {
        x.activate(x.defs.item(position), *store());
    } catch (const EDatabaseError&) {
        // The new rows lack a field of the active index: they show in their own order, and the
        // next setIndexName() says what is wrong.
        x.active = nullptr;
        x.activeKey = {};
    }
}

} // namespace qmr
