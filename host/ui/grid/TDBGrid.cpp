#include <qmr41726/ui/grid/TDBGrid.h>

#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/grid/TDBGridImpl.h>

#include <QHeaderView>

#include <array>

namespace qmr {

namespace {

/// Option names as a layout writes them.
constexpr std::array<TIdentName<TDBGridOption>, 13> kOptionNames{{
    {"dgEditing", dgEditing},
    {"dgAlwaysShowEditor", dgAlwaysShowEditor},
    {"dgTitles", dgTitles},
    {"dgIndicator", dgIndicator},
    {"dgColumnResize", dgColumnResize},
    {"dgColLines", dgColLines},
    {"dgRowLines", dgRowLines},
    {"dgTabs", dgTabs},
    {"dgRowSelect", dgRowSelect},
    {"dgAlwaysShowSelection", dgAlwaysShowSelection},
    {"dgConfirmDelete", dgConfirmDelete},
    {"dgCancelOnExit", dgCancelOnExit},
    {"dgMultiSelect", dgMultiSelect},
}};

unsigned optionsValue(const TPropertyValue& value) {
    const TSet* set = std::get_if<TSet>(&value.value);
    if (!set)
        throw EComponentError("Property Options expects a set");
    unsigned options = 0;
    for (std::string_view member : set->members)
        options |= identTableValue<TDBGridOption>("Options", "grid option", member, kOptionNames);
    return options;
}

const AnsiString kNoFieldName;

} // namespace

// --- TColumn ----------------------------------------------------------------------------------

TColumn::TColumn(TDBGrid& grid, int index, TField* field)
    : m_grid(grid), m_index(index), m_field(field), m_titleFontColor(grid.titleFont().color) {}

const AnsiString& TColumn::fieldName() const noexcept {
    return m_field ? m_field->fieldName() : kNoFieldName;
}

void TColumn::setTitleFontColor(TColor color) {
    m_titleFontColor = color;
    if (m_grid.m_impl->header)
        m_grid.m_impl->header->viewport()->update();
}

// --- TDBGrid ----------------------------------------------------------------------------------

TDBGrid::TDBGrid() : TWinControl(std::make_unique<GridTableView>()) {
    m_impl = std::make_unique<Impl>(*this, *static_cast<GridTableView*>(widget()));
    setColor(clWindow);
    m_impl->applyOptions();
}

TDBGrid::~TDBGrid() = default;

TDataSource* TDBGrid::dataSource() const noexcept {
    m_impl->resolveSourceName();
    return m_impl->source;
}

void TDBGrid::setDataSource(TDataSource* source) {
    m_impl->sourceName.clear();
    m_impl->attach(source);
}

int TDBGrid::columnCount() const noexcept {
    m_impl->resolveSourceName();
    return int(m_impl->columns.size());
}

TColumn* TDBGrid::column(int index) const {
    if (!m_impl->resolveSourceName())
        throw EComponentError(name() + ": data source " + m_impl->sourceName + " not found");
    if (index < 0 || index >= columnCount())
        throwListIndexError(index, columnCount());
    return m_impl->columnAt(index);
}

unsigned TDBGrid::options() const noexcept {
    return m_impl->options;
}

void TDBGrid::setOptions(unsigned options) {
    m_impl->options = options;
    m_impl->applyOptions();
}

TColor TDBGrid::fixedColor() const noexcept {
    return m_impl->fixedColor;
}

void TDBGrid::setFixedColor(TColor color) {
    m_impl->fixedColor = color;
    m_impl->applyAppearance();
}

const TFont& TDBGrid::titleFont() const noexcept {
    return m_impl->titleFont;
}

void TDBGrid::setTitleFont(const TFont& font) {
    // Titles that kept the old font colour follow the new one; coloured titles keep theirs.
    for (const auto& column : m_impl->columns) {
        if (column->m_titleFontColor == m_impl->titleFont.color)
            column->m_titleFontColor = font.color;
    }
    m_impl->titleFont = font;
    m_impl->applyAppearance();
}

TTouchPoint TDBGrid::titleTouchPoint(int column) const {
    Impl& impl = *m_impl;
    if (!impl.view || impl.header->isHidden() || column < 0 || column >= columnCount())
        return {};
    const int logical = impl.header->logicalIndex(column);
    const QRect section(impl.header->sectionViewportPosition(logical), 0, impl.header->sectionSize(logical),
                        impl.header->height());
    const QRect target = section & impl.view->visibleRectIn(impl.header);
    if (target.isEmpty())
        return {};
    return {impl.header, target.center()};
}

TTouchPoint TDBGrid::rowTouchPoint(int row) const {
    Impl& impl = *m_impl;
    impl.refreshIfPending();
    if (!impl.view || impl.columns.empty() || row < 0)
        return {};
    const int modelRow = impl.view->rowAt(0) + row;
    if (impl.view->rowAt(0) < 0 || modelRow >= impl.model->rowCount())
        return {};
    QWidget* viewport = impl.view->viewport();
    const QRect visible = impl.view->visibleRectIn(viewport);
    const QRect rowRect(0, impl.view->rowViewportPosition(modelRow), viewport->width(),
                        impl.view->rowHeight(modelRow));
    // The first column that shows at least partly, so the touch lands on a cell.
    const int logical = impl.view->columnAt(visible.left());
    const QRect cell = logical < 0 ? rowRect
                                   : QRect(impl.view->columnViewportPosition(logical), rowRect.top(),
                                           impl.view->columnWidth(logical), rowRect.height());
    const QRect target = cell & visible;
    if (target.isEmpty())
        return {};
    return {viewport, target.center()};
}

bool TDBGrid::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "DataSource") {
        m_impl->attach(nullptr);
        m_impl->sourceName = AnsiString(textValue(name, value));
    } else if (name == "FixedColor")
        setFixedColor(colorValue(name, value));
    else if (name == "Options")
        setOptions(optionsValue(value));
    else if (name == "OnTitleClick")
        events.bind(name, value, onTitleClick);
    else if (name.starts_with("TitleFont.")) {
        TFont font = titleFont();
        if (!setFontProperty(font, name.substr(10), value))
            return false;
        setTitleFont(font);
    } else
        return TWinControl::setProperty(name, value, events);
    return true;
}

void TDBGrid::appearanceChanged() {
    TWinControl::appearanceChanged();
    if (m_impl)
        m_impl->applyAppearance();
}

} // namespace qmr
