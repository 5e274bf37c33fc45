// The incremental search: every change of the search text rebuilds the filter from the base
// filter, the search column and the text, and hands it to the data set. A title click picks the
// search column.

#include "Cli_Qmr41726.h"

#include <qmr41726/data/filter/FilterText.h>
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/rtl/Exception.h>

using namespace qmr;

namespace {

/// The base filter as the search combines it with " AND ": in parentheses only when the filter
/// language says an appended AND would not bind to all of it (a top-level OR), so the usual
/// filters keep their text exactly.
AnsiString combinableBaseFilter(const AnsiString& filter) {
    if (!filterNeedsParentheses(filter))
        return filter;
    return "(" + filter + ")";
}

} // namespace

AnsiString Condicao(bool Teste, const AnsiString& stTrue, const AnsiString& stFalse) {
    return Teste ? stTrue : stFalse;
}

/// The filter for `searchText`: the base filter, then a prefix match on the search column. A
/// client data set names the column by its active index (named after its field) and compares
/// both sides upper-cased; any other data set compares the column unchanged. A base filter of
/// blanks is no base filter, and a column name the filter language cannot read bare is bracketed.
AnsiString TfrmPesquisa::filterExpression(const AnsiString& searchText) const {
    const AnsiString& base = searchBase();
    const AnsiString pattern = " LIKE '" + UpperCase(searchText) + "%'";
    if (const auto* clientDataSet = dynamic_cast<const TClientDataSet*>(dataSet()))
        return base + "UPPER(" + filterFieldName(clientDataSet->indexName()) + ")" + pattern;
    return base + filterFieldName(stColunaPesq) + pattern;
}

/// The base filter and " AND " as each key's filter starts, or nothing for a blank base filter;
/// made again only when OriginalFilter changes.
const AnsiString& TfrmPesquisa::searchBase() const {
    if (m_searchBaseMade && m_searchBaseOf == OriginalFilter)
        return m_searchBase;
    const bool hasBase = !isBlankFilter(OriginalFilter);
    m_searchBase =
        (hasBase ? combinableBaseFilter(OriginalFilter) : AnsiString()) + Condicao(hasBase, " AND ", "");
    m_searchBaseOf = OriginalFilter;
    m_searchBaseMade = true;
    return m_searchBase;
}

/// Sets the filter text, then switches Filtered off and, for a non-empty text, on again, so the
/// data set evaluates the filter afresh even when it was filtered already.
void TfrmPesquisa::applyFilter(const AnsiString& expression) {
    TDataSet* data = dataSet();
    if (!data)
        return;
    data->setFilter(expression);
    data->setFiltered(false);
    if (!data->filter().empty())
        data->setFiltered(true);
}

/// Filters on the text as it stands after a typed character. A filter the data set rejects is
/// shown to the user and the screen goes on with the character kept.
void TfrmPesquisa::searchAfterAppend() {
    try {
        applyFilter(filterExpression(edtFiltro->text()));
    } catch (const Exception& error) {
        Mensagem(error.Message(), "", "N", "N", TTipoMsg::tmErro, "", "002", 0, nullptr);
    }
}

/// Empties the search text and goes back to the base filter.
void TfrmPesquisa::clearSearch() {
    edtFiltro->setText("");
    applyFilter(OriginalFilter);
}

/// Drops the last character of the search text and filters on what is left; with nothing left
/// the base filter alone applies.
void TfrmPesquisa::removeLastCharacter() {
    AnsiString text = edtFiltro->text();
    if (!text.empty())
        text.pop_back();
    edtFiltro->setText(text);
    if (text.empty())
        applyFilter(OriginalFilter);
    else
        applyFilter(filterExpression(text));
}

/// Makes the touched column the search column: its title purple, the others navy, a client data
/// set sorted on it. The rows stay filtered on the old column until the search text changes.
void TfrmPesquisa::dbgPesquisaTitleClick(TColumn* Column) {
    if (!Column)
        return;
    for (int i = 0; i < dbgPesquisa->columnCount(); ++i)
        dbgPesquisa->column(i)->setTitleFontColor(clNavy);
    Column->setTitleFontColor(clPurple);
    stColunaPesq = Column->fieldName();
    if (auto* clientDataSet = dynamic_cast<TClientDataSet*>(dataSet()))
        clientDataSet->setIndexName(Column->fieldName());
    inTamCampo = Column->field() ? Column->field()->size() : 0;
}
