#pragma once
// The inside of TDBGrid: the link between the data source's notifications and the Qt view.
// The view shows a window of rows that follows the data set's current row. Notifications only
// mark the window stale; it is read again once, before the view next paints or handles input,
// however many notifications one user action sent (a search sends three).

#include <qmr41726/data/dataset/TDataSetObserver.h>
#include <qmr41726/ui/grid/DataSetTableModel.h>
#include <qmr41726/ui/grid/GridAppearance.h>
#include <qmr41726/ui/grid/GridTableView.h>
#include <qmr41726/ui/grid/GridTitleHeader.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace qmr {

/// Keeps the view in step with the data set: columns when the fields change, rows when the
/// view of the data changes, the current row both ways.
struct TDBGrid::Impl : private TDataSetObserver {
    /// The options a grid has before the layout sets any.
    static constexpr unsigned kDefaultOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize |
                                                dgColLines | dgRowLines | dgTabs | dgConfirmDelete |
                                                dgCancelOnExit;

    Impl(TDBGrid& grid, GridTableView& view);
    ~Impl() override;

    TDataSet* dataSet() const noexcept;
    /// Links the grid to `source` (or to none) and shows its data set.
    void attach(TDataSource* source);
    /// Looks the data source named by the layout up on the owner form; false while not found.
    bool resolveSourceName();
    /// Resolves the named data source now that the form is complete; a name that names no
    /// data source is reported through the application's error handler.
    void resolveOnShow();

    /// The column at display position `position`.
    TColumn* columnAt(int position) const;
    int columnWidth(const TField& field) const;
    /// Rebuilds the columns when the visible fields differ from the columns' fields.
    void updateColumns();
    void rebuildColumns();
    /// Reads the rows the view can show around the current row, at once.
    void refreshRows();
    /// Marks the rows stale; they are read again before the view paints or handles input.
    void scheduleRefresh();
    /// Does a refresh that scheduleRefresh() left pending.
    void refreshIfPending();
    void viewCurrentChanged(const QModelIndex& current);
    void rowRequested(int row);
    void titleClicked(int modelColumn);
    void sectionMoved();

    void applyAppearance();
    /// Puts the border and the column widths at the form's scale `scale`.
    void applyScale(double scale);
    void applyOptions();

    TDBGrid& grid;
    QPointer<GridTableView> view;
    std::shared_ptr<GridAppearance> look = std::make_shared<GridAppearance>();
    DataSetTableModel* model;
    GridTitleHeader* header;
    /// Context of the Qt connections: they end with the grid, before the widgets go.
    QObject connections;

    TDataSource* source = nullptr;
    AnsiString sourceName;
    std::vector<std::unique_ptr<TColumn>> columns; // in model order
    unsigned options = kDefaultOptions;
    TColor fixedColor = clBtnFace;
    TFont titleFont;
    int currentColumn = 0; // model column of the current cell
    /// The data set row shown at the top; kept between refreshes so the rows move no more
    /// than needed to keep the current row in sight.
    int topRow = 0;
    /// The scale the border and the columns are shown at.
    double shownScale = 1.0;
    bool syncing = false;
    bool refreshPending = false;

private:
    void dataSetChanged(TDataSet& dataSet) override;
    void currentRowChanged(TDataSet& dataSet) override;
    void dataSetDestroyed(TDataSet& dataSet) override;
    void dataSourceDestroyed(TDataSource& source) override;
    /// Shows nothing: the data set or the source is going away.
    void forgetRows();
};

} // namespace qmr
