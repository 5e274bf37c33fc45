// The cursor of a data set and the observers it tells about moves.
//
// Bof is set by First and by a Prior that finds no row before the current one; Eof by Last and
// by a Next that finds no row after it; any move that lands on another row clears both. An empty
// (or closed) data set is at both ends. A move past either end changes nothing but the flag and
// tells no one.

#include <qmr41726/data/dataset/DataSetState.h>

#include <algorithm>

namespace qmr {

void TDataSet::moveTo(int position, bool bof, bool eof) {
    State& s = *m_state;
    if (isEmpty()) {
        setCurrent(-1);
        s.bof = s.eof = true;
        return;
    }
    position = std::clamp(position, 0, recordCount() - 1);
    const bool moved = position != s.current;
    setCurrent(position);
    s.bof = bof;
    s.eof = eof;
    if (moved)
        notifyMoved();
}

void TDataSet::first() {
    moveTo(0, true, false);
}

void TDataSet::last() {
    moveTo(recordCount() - 1, false, true);
}

void TDataSet::next() {
    const int at = m_state->current;
    if (at + 1 >= recordCount())
        moveTo(at, false, true);
    else
        moveTo(at + 1, false, false);
}

void TDataSet::prior() {
    const int at = m_state->current;
    if (at <= 0)
        moveTo(at, true, false);
    else
        moveTo(at - 1, false, false);
}

void TDataSet::setRecNo(int recNo) {
    if (!isEmpty())
        moveTo(std::clamp(recNo, 1, recordCount()) - 1, false, false);
}

int TDataSet::recNo() const noexcept {
    return m_state->current + 1;
}

bool TDataSet::bof() const noexcept {
    return m_state->bof;
}

bool TDataSet::eof() const noexcept {
    return m_state->eof;
}

// --- observers ---

void TDataSet::addObserver(TDataSetObserver* observer) {
    auto& list = m_state->observers;
    if (observer && std::find(list.begin(), list.end(), observer) == list.end())
        list.push_back(observer);
}

void TDataSet::removeObserver(TDataSetObserver* observer) {
    auto& list = m_state->observers;
    list.erase(std::remove(list.begin(), list.end(), observer), list.end());
}

// Observers may come and go while being told; each is told only while still registered.
void TDataSet::tellObservers(void (*call)(TDataSetObserver&, TDataSet&)) {
    const auto snapshot = m_state->observers;
    for (TDataSetObserver* observer : snapshot) {
        const auto& now = m_state->observers;
        if (std::find(now.begin(), now.end(), observer) != now.end())
            call(*observer, *this);
    }
}

void TDataSet::notifyChanged() {
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.dataSetChanged(d); });
}

void TDataSet::notifyMoved() {
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.currentRowChanged(d); });
}

} // namespace qmr
