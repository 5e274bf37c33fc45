#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/rtl/Exception.h>

namespace qmr {

const TIndexDef& TIndexDefs::item(int index) const {
    if (index < 0 || index >= count())
        throwListIndexError(index, count());
    return m_items[std::size_t(index)];
}

void TIndexDefs::remove(int index) {
    if (index < 0 || index >= count())
        throwListIndexError(index, count());
    m_items.erase(m_items.begin() + index);
}

void TIndexDefs::add(AnsiString name, AnsiString fields, TIndexOptions options) {
    m_items.emplace_back(std::move(name), std::move(fields), options);
}

int TIndexDefs::indexOf(std::string_view name) const {
    const AnsiString wanted = UpperCase(name);
    for (int i = 0; i < count(); ++i) {
        if (UpperCase(m_items[std::size_t(i)].name()) == wanted)
            return i;
    }
    return -1;
}

} // namespace qmr
