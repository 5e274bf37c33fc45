#pragma once
// The data-aware grid: shows the rows of a data source's data set, follows its current row and
// moves it on a touch. Rows are read on demand: a million rows cost nothing until shown.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/ui/controls/TControl.h>

#include <QPoint>

#include <memory>

namespace qmr {

class TDBGrid;

/// One grid column: the field it shows and its title's font colour.
class QMR_RUNTIME_EXPORT TColumn {
public:
    TColumn(TDBGrid& grid, int index, TField* field);
    int index() const noexcept { return m_index; }
    const AnsiString& fieldName() const noexcept;
    TField* field() const noexcept { return m_field; }
    TColor titleFontColor() const noexcept { return m_titleFontColor; }
    /// Sets the title's font colour and repaints the title row.
    void setTitleFontColor(TColor color);

private:
    friend class TDBGrid;
    TDBGrid& m_grid;
    int m_index;
    TField* m_field;
    TColor m_titleFontColor;
};

/// Where to touch a part of the grid: a widget and a point in it (widget null when not shown).
struct QMR_RUNTIME_EXPORT TTouchPoint {
    QWidget* widget = nullptr;
    QPoint position;
};

/// Options of the grid, as the layout names them.
enum TDBGridOption : unsigned {
    dgEditing = 1 << 0,
    dgAlwaysShowEditor = 1 << 1,
    dgTitles = 1 << 2,
    dgIndicator = 1 << 3,
    dgColumnResize = 1 << 4,
    dgColLines = 1 << 5,
    dgRowLines = 1 << 6,
    dgTabs = 1 << 7,
    dgRowSelect = 1 << 8,
    dgAlwaysShowSelection = 1 << 9,
    dgConfirmDelete = 1 << 10,
    dgCancelOnExit = 1 << 11,
    dgMultiSelect = 1 << 12,
};

/// A grid bound to a data source. With no design-time columns it has one column per visible
/// field, in field order, titled with the field's display label. A data source named by the
/// layout ("DataSource") is looked up on the owner form when the grid is first used or shown,
/// since the layout may create it after the grid.
class QMR_RUNTIME_EXPORT TDBGrid : public TWinControl {
public:
    TDBGrid();
    ~TDBGrid() override;

    TDataSource* dataSource() const noexcept;
    void setDataSource(TDataSource* source);

    int columnCount() const noexcept;
    /// The column at display position `index` (columns can be dragged to other positions);
    /// EListError when out of range.
    TColumn* column(int index) const;

    unsigned options() const noexcept;
    void setOptions(unsigned options);
    TColor fixedColor() const noexcept;
    void setFixedColor(TColor color);
    const TFont& titleFont() const noexcept;
    void setTitleFont(const TFont& font);

    TDBGridClickEvent onTitleClick;

    /// Where a touch lands on column `column`'s title, or on the `row`th visible data row (from 0),
    /// within the part of the grid its parent lets the user see.
    TTouchPoint titleTouchPoint(int column) const;
    TTouchPoint rowTouchPoint(int row) const;

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    void appearanceChanged() override;

private:
    friend class TColumn;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
