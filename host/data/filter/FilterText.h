#pragma once
// Questions about filter texts that a caller building a filter out of pieces must ask the filter
// language itself, so that its rules keep one owner: whether a text holds a filter at all, how a
// term appended with AND combines with it, and how a field name must be written.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <string_view>

namespace qmr {

/// Whether `text` holds no filter: it is empty or made of blanks (space, tab, line breaks) only.
QMR_RUNTIME_EXPORT bool isBlankFilter(std::string_view text);

/// Whether "`text` AND term" would bind the term to less than the whole of `text`, so that the
/// text must be put in parentheses first: its top level is an OR outside any parentheses. A text
/// that is one parenthesised group as a whole needs none more. False for a text that does not
/// parse; such a text is left for the data set to reject when it is applied.
QMR_RUNTIME_EXPORT bool filterNeedsParentheses(std::string_view text);

/// `name` as a filter text must spell the field: unchanged when the language reads it bare as one
/// name, in brackets otherwise (blanks, signs, a leading digit, a keyword). A name holding ']'
/// cannot be bracketed either and comes back unchanged, for the data set to reject.
QMR_RUNTIME_EXPORT AnsiString filterFieldName(std::string_view name);

} // namespace qmr
