#include "host/ui/TDBGridImpl.h"

#include "host/data/TDataSource.h"
#include "host/ui/GridCellDelegate.h"
#include "host/ui/PropertyValues.h"
#include "host/ui/QtText.h"
#include "host/ui/TApplication.h"
#include "host/ui/TClassRegistry.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

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
    table.setModel(model);
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
}

TDBGrid::Impl::~Impl() {
    if (source)
        source->removeObserver(this);
    if (view)
        view->onShown = nullptr;
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
    syncCurrentRow();
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
    // As wide as the field's declared characters, and never narrower than its title.
    const int content = displayChars(field) * QFontMetrics(look->cellFont).averageCharWidth();
    const int title = QFontMetrics(look->titleFont).horizontalAdvance(toQString(field.displayLabel()));
    return std::max(content, title) + kTextPadding;
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
        model->refresh();
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
    model->setSource(data, std::move(modelColumns));
    // New columns start in field order, whatever the user dragged before.
    for (int logical = 0; logical < int(columns.size()); ++logical) {
        header->moveSection(header->visualIndex(logical), logical);
        header->resizeSection(logical, columnWidth(*columns[size_t(logical)]->field()));
    }
}

void TDBGrid::Impl::syncCurrentRow() {
    if (!view)
        return;
    TDataSet* data = dataSet();
    const int row = data ? data->recNo() - 1 : -1;
    syncing = true;
    if (row < 0 || row >= model->rowCount() || columns.empty()) {
        view->selectionModel()->clearCurrentIndex();
    } else {
        const QModelIndex index = model->index(row, std::min(currentColumn, int(columns.size()) - 1));
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view->scrollToRow(row);
    }
    syncing = false;
}

void TDBGrid::Impl::viewCurrentChanged(const QModelIndex& current) {
    if (syncing || !current.isValid())
        return;
    currentColumn = current.column();
    TDataSet* data = dataSet();
    if (!data || data->recNo() == current.row() + 1)
        return;
    dispatchHandler([&] { data->setRecNo(current.row() + 1); });
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
    style.cellFont = qtFont(grid.font());
    style.cellTextColor = qtColor(grid.font().color);
    style.cellColor = qtColor(grid.color());
    style.titleFont = qtFont(titleFont);
    style.titleRowColor = qtColor(fixedColor);
    // Room for the text and the line under it, as a classic grid sizes its rows.
    style.rowHeight = QFontMetrics(style.cellFont).height() + 3 + (style.rowLines ? 1 : 0);
    style.titleHeight = QFontMetrics(style.titleFont).height() + 4;
    if (!view)
        return;
    view->setRowHeight(style.rowHeight);
    header->setFixedHeight(style.titleHeight);
    header->viewport()->update();
    view->viewport()->update();
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
    syncCurrentRow();
}

void TDBGrid::Impl::currentRowChanged(TDataSet&) {
    syncCurrentRow();
}

void TDBGrid::Impl::dataSetDestroyed(TDataSet&) {
    columns.clear();
    model->setSource(nullptr, {});
}

void TDBGrid::Impl::dataSourceDestroyed(TDataSource&) {
    source = nullptr;
    columns.clear();
    model->setSource(nullptr, {});
}

} // namespace qmr
