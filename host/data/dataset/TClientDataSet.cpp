#include <qmr41726/data/dataset/TClientDataSet.h>

#include <qmr41726/data/index/IndexOrder.h>
#include <qmr41726/rtl/Exception.h>

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
    /// An order built for the current store, and when it was last made active.
    struct Built {
        std::shared_ptr<const std::vector<std::uint32_t>> order;
        std::uint64_t lastUse = 0;
    };
    /// The orders built for the current store, kept while the store lasts so that switching back
    /// to one, or calling the screen again on the same rows, builds nothing; at most kKeptOrders,
    /// the least recently used going first (4 bytes a row each: 160 MB at 10M rows).
    std::map<std::string, Built> built;
    std::uint64_t uses = 0;
    std::shared_ptr<const std::vector<std::uint32_t>> active;
    RowOrderKey activeKey;

    // Activates the order of `def` over `store`, building it on first use.
    void activate(const TIndexDef& def, const TColumnStore& store) {
        const std::vector<IndexKey> keys = keysOf(def, store);
        auto [it, isNew] = built.try_emplace(cacheKey(keys));
        if (isNew) {
            try {
                it->second.order =
                    std::make_shared<const std::vector<std::uint32_t>>(buildIndexOrder(store, keys));
            } catch (...) {
                built.erase(it); // an order half built is not an order
                throw;
            }
            forgetLeastUsed(it->first);
        }
        it->second.lastUse = ++uses;
        active = it->second.order;
        activeKey = {keys.front().column, keys.front().descending, keys.front().caseInsensitive};
    }

    // Drops the least recently used order other than `keep` while more than kKeptOrders are kept.
    void forgetLeastUsed(const std::string& keep) {
        while (built.size() > kKeptOrders) {
            auto oldest = built.end();
            for (auto it = built.begin(); it != built.end(); ++it) {
                if (it->first != keep &&
                    (oldest == built.end() || it->second.lastUse < oldest->second.lastUse))
                    oldest = it;
            }
            if (oldest->second.order == active)
                active = nullptr; // activate() sets the new one straight after
            built.erase(oldest);
        }
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
    const std::shared_ptr<const std::vector<std::uint32_t>> before = x.active;
    const RowOrderKey keyBefore = x.activeKey;
    if (store())
        x.activate(def, *store());
    x.activeName = def.name();
    // Another name for the order already in force (the screen defines its indexes afresh on every
    // call): the rows, their filter results and the current row all stand, and redoing them costs
    // a pass over every row.
    if (x.active && x.active == before && x.activeKey.column == keyBefore.column &&
        x.activeKey.descending == keyBefore.descending &&
        x.activeKey.caseInsensitive == keyBefore.caseInsensitive)
        return;
    orderChanged();
}

std::shared_ptr<const std::vector<std::uint32_t>> TClientDataSet::rowOrder() const {
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
