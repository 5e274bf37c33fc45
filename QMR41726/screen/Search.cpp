// The incremental search: every change of the search text rebuilds the filter from the base
// filter, the search column and the text, and hands it to the data set. A title click picks the
// search column.

#include "QMR41726/Cli_Qmr41726.h"

#include "host/framework/Mensagem.h"
#include "host/rtl/Exception.h"

using namespace qmr;

namespace {

/// Whether `c` can be part of a keyword or a name of the filter language.
bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

/// Whether the keyword OR (any letter case) stands as a whole word at `pos` of `text`.
bool isOrKeywordAt(const AnsiString& text, std::size_t pos) {
    if (pos + 2 > text.size() || upperAnsi(text[pos]) != 'O' || upperAnsi(text[pos + 1]) != 'R')
        return false;
    const bool startsWord = pos == 0 || !isWordCharacter(text[pos - 1]);
    const bool endsWord = pos + 2 == text.size() || !isWordCharacter(text[pos + 2]);
    return startsWord && endsWord;
}

/// Whether the base filter is a plain chain of terms joined by AND, so that appending
/// " AND <term>" keeps its meaning. Only an OR outside quotes and parentheses breaks the chain:
/// AND binds tighter, so "A = 1 OR B = 2 AND X" would let every A = 1 row through whatever X
/// says. A text whose parentheses do not balance is malformed either way and is left to the data
/// set to reject.
bool isPlainAndChain(const AnsiString& filter) {
    char quote = 0;
    int depth = 0;
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const char c = filter[i];
        if (quote) {
            // A doubled quote inside a literal closes and reopens it: the state comes out right.
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth < 0)
                return true;
        } else if (depth == 0 && isOrKeywordAt(filter, i)) {
            return false;
        }
    }
    return true;
}

/// The base filter as the search combines it: in parentheses only when its top level is not a
/// plain AND chain, so the usual filters keep their text exactly.
AnsiString combinableBaseFilter(const AnsiString& filter) {
    if (isPlainAndChain(filter))
        return filter;
    return "(" + filter + ")";
}

} // namespace

AnsiString Condicao(bool Teste, const AnsiString& stTrue, const AnsiString& stFalse) {
    return Teste ? stTrue : stFalse;
}

/// The filter for `searchText`: the base filter, then a prefix match on the search column. A
/// client data set names the column by its active index (named after its field) and compares
/// both sides upper-cased; any other data set compares the column unchanged.
AnsiString TfrmPesquisa::filterExpression(const AnsiString& searchText) const {
    const AnsiString base =
        combinableBaseFilter(OriginalFilter) + Condicao(OriginalFilter != "", " AND ", "");
    const AnsiString pattern = " LIKE '" + UpperCase(searchText) + "%'";
    if (const auto* clientDataSet = dynamic_cast<const TClientDataSet*>(dataSet()))
        return base + "UPPER(" + clientDataSet->indexName() + ")" + pattern;
    return base + stColunaPesq + pattern;
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
