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
    std::vector<std::unique_ptr<FilterNode>> children;

    bool isLiteral() const { return kind == Kind::String || kind == Kind::Number || kind == Kind::Boolean; }
};

/// Parses a filter text; nullptr for a text of blanks only. Raises EDatabaseError "Filter error at
/// position N: ..." naming what was expected or found.
std::unique_ptr<FilterNode> parseFilter(std::string_view text);

/// Whether two trees say the same thing (field names compared without regard to a-z case).
bool sameFilterTree(const FilterNode& a, const FilterNode& b);

/// Whether every row `narrower` accepts is also accepted by `wider`, judged from the trees alone:
/// `narrower` is `wider`, or `wider AND more`, or `wider` with a LIKE 'abc%' lengthened to
/// 'abcd...', anywhere a NOT does not turn the meaning round. False when unsure.
bool filterRefines(const FilterNode& narrower, const FilterNode& wider);

} // namespace qmr
