#pragma once
// The beginning a filter asks of one column, as the filter hands it to an index or to a scan of
// the columns' heads: those can find the rows that start with it without testing every row.

#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/TextFold.h>

namespace qmr {

/// A `column LIKE 'abc...'` the whole filter depends on (it stands in the top-level AND chain):
/// every passing row's folded value starts with `prefix`. Lets an index on that column hand over
/// the few candidate rows instead of all of them.
struct FilterPrefixTerm {
    int column = -1;
    TextFold fold = TextFold::None;
    AnsiString prefix;
    /// The pattern is the prefix and one final '%': a row whose value starts with the prefix
    /// satisfies the term, and only the rest of the filter is left to test (selectRest).
    bool wholePattern = false;
};

} // namespace qmr
