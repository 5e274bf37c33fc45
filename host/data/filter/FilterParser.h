#pragma once
// The filter language's syntax tree and its recursive-descent parser. The parser knows no data
// set: field names are checked, and types matched, when the tree is compiled (TFilterProgram).
//
// Grammar (keywords in any case; names a-z case-insensitive):
//   filter     := [orExpr] END
//   orExpr     := andExpr { OR andExpr }
//   andExpr    := notExpr { AND notExpr }
//   notExpr    := NOT notExpr | '(' orExpr ')' | predicate
//   predicate  := operand ( compareOp operand
//                         | [NOT] LIKE string
//                         | IS [NOT] NULL
//                         | [NOT] IN '(' literal { ',' literal } ')' )
//   compareOp  := '=' | '<>' | '<' | '>' | '<=' | '>='
//   operand    := literal | name | '[' any text but ']' ']' | UPPER '(' operand ')' | LOWER '(' operand ')'
//   literal    := string | ['-'] number | TRUE | FALSE
//
// UPPER, LOWER and LIKE take a text: a text field, a quoted text, or any other field, which they
// read as the text the grid shows for it ("10.5", "15/03/2023", "True"), so that a search over a
// number or date column matches what the user sees.

#include <qmr41726/rtl/AnsiString.h>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace qmr {

/// The comparison operators.
enum class FilterCompare { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

/// One node of a parsed filter.
struct FilterNode {
    enum class Kind {
        Field,   // text: the name as written
        String,  // text: the value
        Number,  // text: the digits as written (with a leading '-' when negated)
        Boolean, // flag: the value
        Upper,   // children[0]: the operand
        Lower,   // children[0]: the operand
        Compare, // children[0] compare children[1]
        Like,    // children[0] LIKE text; flag: NOT LIKE
        IsNull,  // children[0] IS NULL; flag: IS NOT NULL
        In,      // children[0] IN (children[1..]); flag: NOT IN
        And,     // children[0] AND children[1]
        Or,      // children[0] OR children[1]
        Not,     // NOT children[0]
    };

    Kind kind = Kind::Field;
    /// Position of the node's first character in the filter text, from 1.
    int position = 0;
    AnsiString text;
    bool flag = false;
    FilterCompare compare = FilterCompare::Equal;
    /// Shared, so that a filter appended to a compiled one with AND holds that one's tree as it is.
    std::vector<std::shared_ptr<const FilterNode>> children;

    bool isLiteral() const { return kind == Kind::String || kind == Kind::Number || kind == Kind::Boolean; }
};

/// What a parsed filter spends of the bounds on the whole filter (see FilterParser.cpp).
struct FilterSize {
    int operators = 0; // AND and OR
    int nodes = 0;     // every node of the tree but the items of IN lists
    int inItems = 0;   // items of all IN lists
    std::size_t likeBytes = 0;
    /// Bytes of the patterns with a wildcard before their end (the ones the general matcher runs),
    /// each counted as at least 64.
    std::size_t wildcardLikeBytes = 0;
    int nesting = 0; // deepest level of parentheses, NOT, UPPER and LOWER
};

/// A parsed filter and what it spends of the bounds.
struct ParsedFilter {
    std::shared_ptr<const FilterNode> tree; // nullptr for a text of blanks only
    FilterSize size;
};

/// Parses a filter text; nullptr for a text of blanks only. Raises EDatabaseError "Filter error at
/// position N: ..." naming what was expected or found, or the bound the filter passes.
std::unique_ptr<FilterNode> parseFilter(std::string_view text);

/// Parses `text` as it stands after `positionOffset` characters of a longer filter that has spent
/// `spent` of the bounds already: positions in its nodes and errors count from the longer filter's
/// start, and a bound is passed by the sum.
ParsedFilter parseFilterAfter(std::string_view text, const FilterSize& spent, int positionOffset);

/// The size of "(base) AND ..." (or "base AND ..." when not `parenthesised`) before the appended
/// part: `base` with the joining AND and its node, and a level more of nesting in parentheses.
/// std::nullopt when that already passes a bound: the whole text must then be parsed, for the
/// error to name the place where it is passed.
std::optional<FilterSize> filterSizeJoined(const FilterSize& base, bool parenthesised);

/// Whether two trees say the same thing (field names compared without regard to a-z case).
bool sameFilterTree(const FilterNode& a, const FilterNode& b);

/// Whether every row `narrower` accepts is also accepted by `wider`, judged from the trees alone:
/// `narrower` is `wider`, or `wider AND more`, or `wider` with a LIKE 'abc%' lengthened to
/// 'abcd...', anywhere a NOT does not turn the meaning round. False when unsure.
bool filterRefines(const FilterNode& narrower, const FilterNode& wider);

} // namespace qmr
