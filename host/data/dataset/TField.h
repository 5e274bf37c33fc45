#pragma once
// Fields: the columns of a data set, with the current row's value.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/store/TFieldDef.h>
#include <qmr41726/rtl/AnsiString.h>

namespace qmr {

class TDataSet;

/// One column of a data set; its value is read from the data set's current row.
class QMR_RUNTIME_EXPORT TField {
public:
    /// The field at `index` of `dataSet`, defined by `def`. Data sets make their fields when they
    /// open; a host reads them through TDataSet::field and fieldByName.
    TField(TDataSet& dataSet, int index, TFieldDef def);

    /// The column's name, Windows-1252.
    const AnsiString& fieldName() const noexcept { return m_def.name; }
    /// The title a grid shows: the display label, or the field name when none was set.
    const AnsiString& displayLabel() const noexcept;
    /// Sets the title a grid shows.
    void setDisplayLabel(AnsiString label) { m_def.displayLabel = std::move(label); }
    /// The type of the values.
    TFieldType dataType() const noexcept { return m_def.type; }
    /// Declared size: characters for a string field, 0 for the other types.
    int size() const noexcept { return m_def.size; }
    /// Whether a grid shows the field as a column.
    ///@{
    bool visible() const noexcept { return m_def.visible; }
    void setVisible(bool visible) noexcept { m_def.visible = visible; }
    ///@}
    /// Position of the field in its data set, from 0.
    int index() const noexcept { return m_index; }
    /// The data set the field belongs to.
    TDataSet& dataSet() const noexcept { return m_dataSet; }

    /// Whether the current row's value is null (true on an empty data set).
    bool isNull() const;
    /// The current row's value as text ("" for null).
    AnsiString asString() const;

private:
    TDataSet& m_dataSet;
    int m_index;
    TFieldDef m_def;
};

} // namespace qmr
