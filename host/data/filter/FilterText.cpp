#include <qmr41726/data/filter/FilterText.h>

#include <qmr41726/data/filter/FilterLexer.h>
#include <qmr41726/data/filter/FilterParser.h>
#include <qmr41726/rtl/Exception.h>

#include <algorithm>
#include <vector>

namespace qmr {

bool isBlankFilter(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isFilterBlank);
}

bool filterNeedsParentheses(std::string_view text) {
    try {
        const std::unique_ptr<FilterNode> tree = parseFilter(text);
        // AND binds tighter than OR: only an OR at the top would split under an appended AND.
        // A text that is one group already is kept as it stands.
        return tree && tree->kind == FilterNode::Kind::Or && !isOneFilterGroup(text);
    } catch (const EDatabaseError&) {
        // A malformed text is not this question's to reject: wrapping it would only move the
        // position the data set's error names.
        return false;
    }
}

AnsiString filterFieldName(std::string_view name) {
    if (isBareFilterName(name) || name.find(']') != std::string_view::npos)
        return AnsiString(name);
    // Built by appending: GCC 12's -Wrestrict misreads "[" + AnsiString(...) at -O2 and up.
    AnsiString quoted;
    quoted.reserve(name.size() + 2);
    quoted += '[';
    quoted += name;
    quoted += ']';
    return quoted;
}

} // namespace qmr
