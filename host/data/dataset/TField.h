#pragma once
// Fields: the columns of a data set, with the current row's value.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/store/TFieldDef.h>
#include <qmr41726/rtl/AnsiString.h>

#include <memory>

namespace qmr {

class TDataSet;

/// One column of a data set; its value is read from the data set's current row.
class QMR_RUNTIME_EXPORT TField {
public:
    /// The field at `index` of `dataSet`, defined by `def`. Data sets make their fields when they
    /// open; a host reads them through TDataSet::field and fieldByName.
    TField(TDataSet& dataSet, int index, TFieldDef def);
    ~TField();
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    /// The column's name, Windows-1252.
    const AnsiString& fieldName() const noexcept;
    /// The title a grid shows: the display label, or the field name when none was set.
    const AnsiString& displayLabel() const noexcept;
    /// Sets the title a grid shows.
    void setDisplayLabel(AnsiString label);
    /// The type of the values.
    TFieldType dataType() const noexcept;
    /// Declared size: characters for a string field, 0 for the other types.
    int size() const noexcept;
    /// Whether a grid shows the field as a column.
    ///@{
    bool visible() const noexcept;
    void setVisible(bool visible) noexcept;
    ///@}
    /// Position of the field in its data set, from 0.
    int index() const noexcept;
    /// The data set the field belongs to.
    TDataSet& dataSet() const noexcept;

    /// Whether the current row's value is null (true on an empty data set).
    bool isNull() const;
    /// The current row's value as text ("" for null).
    AnsiString asString() const;

private:
    // Behind a pointer so that a field can learn more about its column without a new SOVERSION.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
