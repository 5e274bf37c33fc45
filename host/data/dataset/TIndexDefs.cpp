#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/rtl/Exception.h>

#include <vector>

namespace qmr {

struct TIndexDef::Impl {
    AnsiString name;
    AnsiString fields;
    TIndexOptions options;
};

TIndexDef::TIndexDef(AnsiString name, AnsiString fields, TIndexOptions options)
    : m_impl(std::make_unique<Impl>(Impl{std::move(name), std::move(fields), options})) {}

TIndexDef::TIndexDef(const TIndexDef& other) : m_impl(std::make_unique<Impl>(*other.m_impl)) {}

TIndexDef& TIndexDef::operator=(const TIndexDef& other) {
    *m_impl = *other.m_impl;
    return *this;
}

TIndexDef::~TIndexDef() = default;

const AnsiString& TIndexDef::name() const noexcept {
    return m_impl->name;
}

const AnsiString& TIndexDef::fields() const noexcept {
    return m_impl->fields;
}

TIndexOptions TIndexDef::options() const noexcept {
    return m_impl->options;
}

struct TIndexDefs::Impl {
    std::vector<TIndexDef> items;
};

TIndexDefs::TIndexDefs() : m_impl(std::make_unique<Impl>()) {}

TIndexDefs::~TIndexDefs() = default;

int TIndexDefs::count() const noexcept {
    return int(m_impl->items.size());
}

const TIndexDef& TIndexDefs::item(int index) const {
    if (index < 0 || index >= count())
        throwListIndexError(index, count());
    return m_impl->items[std::size_t(index)];
}

void TIndexDefs::remove(int index) {
    if (index < 0 || index >= count())
        throwListIndexError(index, count());
    m_impl->items.erase(m_impl->items.begin() + index);
}

void TIndexDefs::add(AnsiString name, AnsiString fields, TIndexOptions options) {
    m_impl->items.emplace_back(std::move(name), std::move(fields), options);
}

int TIndexDefs::indexOf(std::string_view name) const {
    const AnsiString wanted = UpperCase(name);
    for (int i = 0; i < count(); ++i) {
        if (UpperCase(m_impl->items[std::size_t(i)].name()) == wanted)
            return i;
    }
    return -1;
}

} // namespace qmr
