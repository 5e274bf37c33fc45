#include <qmr41726/data/dataset/TField.h>

#include <qmr41726/data/dataset/TDataSet.h>

namespace qmr {

TField::TField(TDataSet& dataSet, int index, TFieldDef def)
    : m_dataSet(dataSet), m_index(index), m_def(std::move(def)) {}

const AnsiString& TField::displayLabel() const noexcept {
    return m_def.displayLabel.empty() ? m_def.name : m_def.displayLabel;
}

bool TField::isNull() const {
    const int row = m_dataSet.recNo() - 1;
    return row < 0 || m_dataSet.isNull(row, m_index);
}

AnsiString TField::asString() const {
    const int row = m_dataSet.recNo() - 1;
    return row < 0 ? AnsiString() : m_dataSet.text(row, m_index);
}

} // namespace qmr
