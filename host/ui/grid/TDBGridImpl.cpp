#include <qmr41726/ui/grid/TDBGridImpl.h>

#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/Scaling.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/grid/GridCellDelegate.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace qmr {

namespace {

/// Characters a field of a type without a declared size is shown with.
int displayChars(const TField& field) {
    switch (field.dataType()) {
    case TFieldType::ftString:
        return std::max(field.size(), 1);
    case TFieldType::ftInteger:
        return 11;
    case TFieldType::ftFloat:
        return 10;
    case TFieldType::ftBoolean:
        return 5;
    case TFieldType::ftDateTime:
        return 18;
    }
    return 10;
}

/// Room left and right of a cell's or title's text.
constexpr int kTextPadding = 4;

} // namespace

TDBGrid::Impl::Impl(TDBGrid& owner, GridTableView& table)
    : grid(owner), view(&table), model(new DataSetTableModel(&table)), header(new GridTitleHeader(look)) {
    table.setHorizontalHeader(header);
    table.setRowWindow(model);
    table.setItemDelegate(new GridCellDelegate(look, &table));
    look->titleColor = [this](int column) {
        const bool known = column >= 0 && column < int(columns.size());
        return qtColor(known ? columns[size_t(column)]->titleFontColor() : titleFont.color);
    };
    QObject::connect(table.selectionModel(), &QItemSelectionModel::currentChanged, &connections,
                     [this](const QModelIndex& current) { viewCurrentChanged(current); });
    QObject::connect(header, &QHeaderView::sectionClicked, &connections,
                     [this](int logical) { titleClicked(logical); });
    QObject::connect(header, &QHeaderView::sectionMoved, &connections, [this] { sectionMoved(); });
    table.onShown = [this] { resolveOnShow(); };
    table.onBeforeUse = [this] { refreshIfPending(); };
    table.onRoomChanged = [this] { scheduleRefresh(); };
    table.onRowRequested = [this](int row) { rowRequested(row); };
}

TDBGrid::Impl::~Impl() {
    if (source)
        source->removeObserver(this);
    if (view) {
        view->onShown = nullptr;
        view->onBeforeUse = nullptr;
        view->onRoomChanged = nullptr;
        view->onRowRequested = nullptr;
    }
}

TDataSet* TDBGrid::Impl::dataSet() const noexcept {
    return source ? source->dataSet() : nullptr;
}

void TDBGrid::Impl::attach(TDataSource* newSource) {
    if (newSource == source)
        return;
    if (source)
        source->removeObserver(this);
    source = newSource;
    if (source)
        source->addObserver(this);
    rebuildColumns();
}

bool TDBGrid::Impl::resolveSourceName() {
    if (sourceName.empty())
        return true;
    const TComponent* form = grid.owner();
    auto* found = form ? dynamic_cast<TDataSource*>(form->findComponent(sourceName)) : nullptr;
    if (!found)
        return false;
    sourceName.clear();
    attach(found);
    return true;
}

void TDBGrid::Impl::resolveOnShow() {
    if (resolveSourceName())
        return;
    // Reported once, as any error while the form is being shown is.
    const AnsiString missing = std::exchange(sourceName, AnsiString());
    if (Application)
        Application->handleException(
            EComponentError(grid.name() + ": data source " + missing + " not found"));
}

TColumn* TDBGrid::Impl::columnAt(int position) const {
    const int logical = header->logicalIndex(position);
    return columns[size_t(logical < 0 ? position : logical)].get();
}

int TDBGrid::Impl::columnWidth(const TField& field) const {
    // As wide as the field's declared characters, and never narrower than its title, measured in
    // the design's fonts and scaled with the rest of the form.
    const int content = displayChars(field) * QFontMetrics(qtFont(grid.font())).averageCharWidth();
    const int title = QFontMetrics(qtFont(titleFont)).horizontalAdvance(toQString(field.displayLabel()));
    return scaledLength(std::max(content, title) + kTextPadding, grid.scale());
}

void TDBGrid::Impl::updateColumns() {
    TDataSet* data = dataSet();
    std::vector<TField*> fields;
    for (int i = 0; data && i < data->fieldCount(); ++i) {
        if (data->field(i)->visible())
            fields.push_back(data->field(i));
    }
    const bool same =
        fields.size() == columns.size() &&
        std::equal(fields.begin(), fields.end(), columns.begin(),
                   [](const TField* field, const auto& column) { return column->field() == field; });
    if (same) {
        scheduleRefresh();
        return;
    }
    rebuildColumns();
}

void TDBGrid::Impl::rebuildColumns() {
    TDataSet* data = dataSet();
    columns.clear();
    std::vector<DataSetTableModel::Column> modelColumns;
    for (int i = 0; data && i < data->fieldCount(); ++i) {
        TField* field = data->field(i);
        if (!field->visible())
            continue;
        columns.push_back(std::make_unique<TColumn>(grid, int(columns.size()), field));
        modelColumns.push_back({i, toQString(field->displayLabel())});
    }
    currentColumn = 0;
    topRow = 0;
    {
        const QScopedValueRollback quiet(syncing, true);
        model->setSource(data, std::move(modelColumns));
    }
    // New columns start in field order, whatever the user dragged before.
    for (int logical = 0; logical < int(columns.size()); ++logical) {
        header->moveSection(header->visualIndex(logical), logical);
        header->resizeSection(logical, columnWidth(*columns[size_t(logical)]->field()));
    }
    // Other columns are a rare event (a data set bound or opened): the rows follow at once.
    refreshRows();
}

void TDBGrid::Impl::refreshRows() {
    refreshPending = false;
    if (!view)
        return;
    TDataSet* data = dataSet();
    const int count = model->dataSetRowCount();
    const int current = data && count > 0 ? data->recNo() - 1 : -1;
    // The rows move only as far as the current row needs to be seen whole through the panel,
    // and never so far that the last row leaves rows empty below it.
    const int shown = view->visibleRowCount();
    topRow = std::clamp(topRow, 0, std::max(0, count - shown));
    if (current >= 0 && current < topRow)
        topRow = current;
    else if (current >= topRow + shown)
        topRow = current - shown + 1;
    const QScopedValueRollback quiet(syncing, true);
    model->showRows(topRow, view->paintedRowCount());
    const int row = current - topRow;
    if (current < 0 || row >= model->rowCount() || columns.empty())
        view->selectionModel()->clearCurrentIndex();
    else
        view->selectionModel()->setCurrentIndex(
            model->index(row, std::min(currentColumn, int(columns.size()) - 1)),
            QItemSelectionModel::NoUpdate);
}

void TDBGrid::Impl::scheduleRefresh() {
    if (refreshPending)
        return;
    refreshPending = true;
    // At the latest when control returns to the event loop; a paint or a touch before that
    // refreshes first (see GridTableView::onBeforeUse).
    QMetaObject::invokeMethod(
        &connections, [this] { refreshIfPending(); }, Qt::QueuedConnection);
    if (view)
        view->viewport()->update();
}

void TDBGrid::Impl::refreshIfPending() {
    if (refreshPending)
        refreshRows();
}

void TDBGrid::Impl::viewCurrentChanged(const QModelIndex& current) {
    if (syncing || !current.isValid())
        return;
    currentColumn = current.column();
    TDataSet* data = dataSet();
    const int recNo = model->top() + current.row() + 1;
    if (!data || data->recNo() == recNo)
        return;
    dispatchHandler([&] { data->setRecNo(recNo); });
}

void TDBGrid::Impl::rowRequested(int row) {
    TDataSet* data = dataSet();
    if (!data)
        return;
    dispatchHandler([&] { data->setRecNo(row + 1); });
    // The view looks for the row in the window as soon as this returns.
    refreshIfPending();
}

void TDBGrid::Impl::titleClicked(int modelColumn) {
    if (!grid.onTitleClick || modelColumn < 0 || modelColumn >= int(columns.size()))
        return;
    // Copies: the handler may change the data set, which may rebuild the columns.
    const TDBGridClickEvent handler = grid.onTitleClick;
    TColumn* column = columns[size_t(modelColumn)].get();
    dispatchHandler([&] { handler(column); });
}

void TDBGrid::Impl::sectionMoved() {
    for (int logical = 0; logical < int(columns.size()); ++logical)
        columns[size_t(logical)]->m_index = header->visualIndex(logical);
}

void TDBGrid::Impl::applyAppearance() {
    GridAppearance& style = *look;
    const double scale = grid.scale();
    style.cellFont = qtFont(grid.font(), scale);
    style.cellTextColor = qtColor(grid.font().color);
    style.cellColor = qtColor(grid.color());
    style.titleFont = qtFont(titleFont, scale);
    style.titleRowColor = qtColor(fixedColor);
    // Room for the text and the line under it, as a classic grid sizes its rows in the design's
    // fonts; the rows scale with the rest of the form.
    style.rowHeight =
        scaledLength(QFontMetrics(qtFont(grid.font())).height() + 3 + (style.rowLines ? 1 : 0), scale);
    style.titleHeight = scaledLength(QFontMetrics(qtFont(titleFont)).height() + 4, scale);
    if (!view)
        return;
    applyScale(scale);
    view->setRowHeight(style.rowHeight);
    header->setFixedHeight(style.titleHeight);
    header->viewport()->update();
    view->viewport()->update();
}

void TDBGrid::Impl::applyScale(double scale) {
    if (scale == shownScale)
        return;
    view->setBorderScale(scale);
    // Columns keep the widths they have, the user's own included, at the new scale.
    for (int logical = 0; logical < header->count(); ++logical)
        header->resizeSection(logical, int(std::lround(header->sectionSize(logical) * scale / shownScale)));
    shownScale = scale;
}

void TDBGrid::Impl::applyOptions() {
    GridAppearance& style = *look;
    style.rowLines = options & dgRowLines;
    style.columnLines = options & dgColLines;
    style.rowSelect = options & dgRowSelect;
    style.alwaysShowSelection = options & dgAlwaysShowSelection;
    if (!view)
        return;
    header->setVisible(options & dgTitles);
    const bool resizable = options & dgColumnResize;
    header->setSectionResizeMode(resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
    header->setSectionsMovable(resizable);
    header->setSectionsClickable(true);
    view->setTabKeyNavigation(options & dgTabs);
    applyAppearance();
}

void TDBGrid::Impl::dataSetChanged(TDataSet&) {
    updateColumns();
}

void TDBGrid::Impl::currentRowChanged(TDataSet&) {
    scheduleRefresh();
}

void TDBGrid::Impl::dataSetDestroyed(TDataSet&) {
    forgetRows();
}

void TDBGrid::Impl::dataSourceDestroyed(TDataSource&) {
    source = nullptr;
    forgetRows();
}

void TDBGrid::Impl::forgetRows() {
    columns.clear();
    refreshPending = false;
    const QScopedValueRollback quiet(syncing, true);
    model->setSource(nullptr, {});
}

} // namespace qmr
