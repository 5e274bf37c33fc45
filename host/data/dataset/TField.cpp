#include <qmr41726/data/dataset/TField.h>

#include <qmr41726/data/dataset/TDataSet.h>

namespace qmr {

struct TField::Impl {
    TDataSet& dataSet;
    int index;
    TFieldDef def;
};

TField::TField(TDataSet& dataSet, int index, TFieldDef def)
    : m_impl(std::make_unique<Impl>(Impl{dataSet, index, std::move(def)})) {}

TField::~TField() = default;

const AnsiString& TField::fieldName() const noexcept {
    return m_impl->def.name;
}

void TField::setDisplayLabel(AnsiString label) {
    m_impl->def.displayLabel = std::move(label);
}

TFieldType TField::dataType() const noexcept {
    return m_impl->def.type;
}

int TField::size() const noexcept {
    return m_impl->def.size;
}

bool TField::visible() const noexcept {
    return m_impl->def.visible;
}

void TField::setVisible(bool visible) noexcept {
    m_impl->def.visible = visible;
}

int TField::index() const noexcept {
    return m_impl->index;
}

TDataSet& TField::dataSet() const noexcept {
    return m_impl->dataSet;
}

const AnsiString& TField::displayLabel() const noexcept {
    return m_impl->def.displayLabel.empty() ? m_impl->def.name : m_impl->def.displayLabel;
}

bool TField::isNull() const {
    const int row = m_impl->dataSet.recNo() - 1;
    return row < 0 || m_impl->dataSet.isNull(row, m_impl->index);
}

AnsiString TField::asString() const {
    const int row = m_impl->dataSet.recNo() - 1;
    return row < 0 ? AnsiString() : m_impl->dataSet.text(row, m_impl->index);
}

} // namespace qmr
