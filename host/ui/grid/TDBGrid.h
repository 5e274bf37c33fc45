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
    /// The column at `index` of `grid`, showing `field` (not owned; the data set owns it). The grid
    /// makes its columns; a host reads them through TDBGrid::column.
    TColumn(TDBGrid& grid, int index, TField* field);
    /// The column's display position, from 0.
    int index() const noexcept { return m_index; }
    /// The name of the field shown, "" when none.
    const AnsiString& fieldName() const noexcept;
    /// The field shown; nullptr when the column shows none.
    TField* field() const noexcept { return m_field; }
    /// The colour of the column's title text.
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
    /// The widget to send the touch to.
    QWidget* widget = nullptr;
    /// The point in the widget's own pixels.
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

    /// The data source whose data set the grid shows (not owned); nullptr for none.
    ///@{
    TDataSource* dataSource() const noexcept;
    void setDataSource(TDataSource* source);
    ///@}

    /// The number of columns.
    int columnCount() const noexcept;
    /// The column at display position `index` (columns can be dragged to other positions);
    /// EListError when out of range.
    TColumn* column(int index) const;

    /// The grid's options, TDBGridOption bits ORed together.
    ///@{
    unsigned options() const noexcept;
    void setOptions(unsigned options);
    ///@}
    /// The colour of the title row.
    ///@{
    TColor fixedColor() const noexcept;
    void setFixedColor(TColor color);
    ///@}
    /// The font of the column titles.
    ///@{
    const TFont& titleFont() const noexcept;
    void setTitleFont(const TFont& font);
    ///@}

    /// The handler of a touch on a column's title, given that column.
    TDBGridClickEvent onTitleClick;

    /// Where a touch lands on column `column`'s title, or on the `row`th visible data row (from 0),
    /// within the part of the grid its parent lets the user see.
    ///@{
    TTouchPoint titleTouchPoint(int column) const;
    TTouchPoint rowTouchPoint(int row) const;
    ///@}

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    void appearanceChanged() override;

private:
    friend class TColumn;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr
