#include "QtStackPeer.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

constexpr int kNomeColumn = 1;
constexpr int kAtivoColumn = 3;

/// The rows as four read-only columns, each value a QString made when the view or proxy asks.
class RowsModel : public QAbstractTableModel {
public:
    explicit RowsModel(const std::vector<BenchRow>& rows) : m_rows(rows) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const BenchRow& row = m_rows[std::size_t(index.row())];
        switch (index.column()) {
        case 0:
            return QString::number(row.codigo);
        case kNomeColumn:
            return QString::fromStdString(row.nome);
        case 2:
            return QString::fromStdString(row.cidade);
        default:
            return QString::fromStdString(row.ativo);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const names[] = {"CODIGO", "NOME", "CIDADE", "Ativo"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return QString::fromLatin1(names[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const std::vector<BenchRow>& m_rows;
};

/// The proxy's own filter tests the search column; the base filter (Ativo = 'S') is added the way
/// a Qt developer adds a second condition, by overriding filterAcceptsRow.
class SearchProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override {
        const QModelIndex ativo = sourceModel()->index(sourceRow, kAtivoColumn, sourceParent);
        if (sourceModel()->data(ativo).toString() != QLatin1String("S"))
            return false;
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    }
};

} // namespace

struct QtStackPeer::Parts {
    explicit Parts(const std::vector<BenchRow>& rows) : model(rows) {}
    RowsModel model;
    SearchProxy proxy;
    QTableView view;
};

QtStackPeer::QtStackPeer(const std::vector<BenchRow>& rows) : m_parts(std::make_unique<Parts>(rows)) {
    Parts& p = *m_parts;
    p.proxy.setSourceModel(&p.model);
    p.proxy.setFilterKeyColumn(kNomeColumn);
    p.proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
    p.proxy.setDynamicSortFilter(true);
    p.view.setModel(&p.proxy);
    p.view.setSortingEnabled(true);
    p.view.sortByColumn(kNomeColumn, Qt::AscendingOrder);
    p.view.resize(640, 552);
    p.view.show();
    QCoreApplication::processEvents();
}

QtStackPeer::~QtStackPeer() = default;

StepResult QtStackPeer::search(const std::string& text) {
    Parts& p = *m_parts;
    const QString anchored = "^" + QRegularExpression::escape(QString::fromStdString(text));
    p.proxy.setFilterRegularExpression(
        QRegularExpression(anchored, QRegularExpression::CaseInsensitiveOption));
    QCoreApplication::processEvents();
    StepResult result;
    result.count = p.proxy.rowCount();
    if (result.count > 0)
        result.firstNome = p.proxy.data(p.proxy.index(0, kNomeColumn)).toString().toStdString();
    return result;
}
