#include <qmr41726/data/filter/FilterParser.h>

#include <qmr41726/data/filter/FilterLexer.h>
#include <qmr41726/data/filter/LikePattern.h>
#include <qmr41726/rtl/MessageText.h>

#include <algorithm>
#include <deque>

namespace qmr {

namespace {

using Kind = FilterNode::Kind;
using Node = std::unique_ptr<FilterNode>;

Node newNode(Kind kind, int position) {
    auto node = std::make_unique<FilterNode>();
    node->kind = kind;
    node->position = position;
    return node;
}

FilterCompare compareOf(const AnsiString& op) {
    if (op == "=")
        return FilterCompare::Equal;
    if (op == "<>")
        return FilterCompare::NotEqual;
    if (op == "<")
        return FilterCompare::Less;
    if (op == ">")
        return FilterCompare::Greater;
    if (op == "<=")
        return FilterCompare::LessEqual;
    return FilterCompare::GreaterEqual;
}

// How a token reads in an error message.
std::string describe(const FilterToken& token) {
    switch (token.kind) {
    case FilterTokenKind::End:
        return "the end of the filter";
    case FilterTokenKind::String:
        return quotedExcerpt(token.text);
    case FilterTokenKind::Keyword:
        return token.text;
    default:
        return quotedExcerpt(token.text);
    }
}

// Limits that keep the recursion of the parser, and of everything that walks the tree after it,
// far from the end of the stack: a filter deeper than this is rejected, not followed.
constexpr int kMaxNesting = 100;
constexpr int kMaxOperators = 1024;
// An IN list is matched through a sorted copy, so its length costs little per row; the bound
// keeps a runaway list (a generated filter gone wrong) from growing the filter without end.
constexpr int kMaxInItems = 10000;

// Bounds on the whole filter. Each list and pattern within its own bound can still add up: every
// term is tested on every row a search reaches, and the parsed and compiled filter is held while
// the search lasts. These keep the sum to what a search over a million rows carries; the figures
// behind them are in docs/bad-input.md ("Bounds for hosts").
// Every item costs about a node and a compiled value of memory; the lists' lookups cost little.
constexpr int kMaxFilterInItems = 50000;
// Exact and prefix patterns match in time linear in the tested text: this bounds their memory.
constexpr std::size_t kMaxFilterLikeBytes = 262144;
// The general matcher walks the whole text once per run between two '%', for every pattern: a
// short pattern costs a row about what a long one does. So each counts as at least a word of the
// bit-parallel matcher (64 bytes), and together they are held to what one pattern at its own bound
// may be: sixteen short patterns, or one long one. (1,000 short ones took over 60 s over a million
// rows; sixteen take about half a second on the first run, and a key on them far less.)
constexpr std::size_t kMaxFilterWildcardLikeBytes = kMaxWildcardLikePattern;
constexpr std::size_t kWildcardLikeCharge = 64;
// Nodes besides the IN items: terms, their operands and the operators joining them.
constexpr int kMaxFilterNodes = 8192;

class Parser {
public:
    Parser(std::string_view text, int positionOffset, const FilterSize& spent)
        : m_reader(text, positionOffset), m_size(spent) {}

    const FilterSize& size() const noexcept { return m_size; }

    Node run() {
        if (peek().kind == FilterTokenKind::End)
            return nullptr;
        Node tree = orExpr();
        if (peek().kind == FilterTokenKind::CloseParen)
            fail("')' without a matching '('");
        if (peek().kind != FilterTokenKind::End)
            fail("expected AND, OR or the end of the filter, found " + describe(peek()));
        return tree;
    }

private:
    // Tokens are read as the parser reaches them (a deque: a token taken stays where it is).
    const FilterToken& token(std::size_t at) {
        while (m_tokens.size() <= at)
            m_tokens.push_back(m_reader.next());
        return m_tokens[at];
    }
    const FilterToken& peek() { return token(m_pos); }
    const FilterToken& take() { return token(m_pos++); }
    bool takeKeyword(std::string_view word) {
        if (!peek().isKeyword(word))
            return false;
        ++m_pos;
        return true;
    }
    [[noreturn]] void fail(const std::string& what) { throwFilterError(peek().position, what); }

    /// One more level of parentheses, NOT, UPPER or LOWER for as long as it lives.
    class Nesting {
    public:
        explicit Nesting(Parser& parser) : m_parser(parser) {
            if (++m_parser.m_nesting > kMaxNesting)
                m_parser.fail("more than " + std::to_string(kMaxNesting) +
                              " nested levels of parentheses, NOT, UPPER or LOWER");
            m_parser.m_size.nesting = std::max(m_parser.m_size.nesting, m_parser.m_nesting);
        }
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    /// Takes the keyword AND or OR, counting it: each one deepens the tree by a level.
    bool takeOperator(std::string_view word) {
        if (!peek().isKeyword(word))
            return false;
        if (++m_size.operators > kMaxOperators)
            fail("more than " + std::to_string(kMaxOperators) + " AND and OR operators");
        ++m_pos;
        return true;
    }
    /// A new node of the tree, counted against the bound on the whole filter's nodes. Past it,
    /// the error names the last token read: an operator's node is made after its right side.
    Node makeNode(Kind kind, int position) {
        if (++m_size.nodes > kMaxFilterNodes)
            throwFilterError(token(m_pos > 0 ? m_pos - 1 : 0).position,
                             "more than " + std::to_string(kMaxFilterNodes) +
                                 " terms, operands and operators in the whole filter");
        return newNode(kind, position);
    }
    Node makeBinary(Kind kind, Node left, Node right) {
        Node node = makeNode(kind, left->position);
        node->children.push_back(std::move(left));
        node->children.push_back(std::move(right));
        return node;
    }

    void expect(FilterTokenKind kind, const char* what) {
        if (peek().kind != kind)
            fail(std::string("expected ") + what + ", found " + describe(peek()));
        ++m_pos;
    }

    Node orExpr() {
        Node left = andExpr();
        while (takeOperator("OR"))
            left = makeBinary(Kind::Or, std::move(left), andExpr());
        return left;
    }

    Node andExpr() {
        Node left = notExpr();
        while (takeOperator("AND"))
            left = makeBinary(Kind::And, std::move(left), notExpr());
        return left;
    }

    Node notExpr() {
        const int position = peek().position;
        if (peek().kind == FilterTokenKind::OpenParen || peek().isKeyword("NOT")) {
            Nesting nesting(*this);
            return nestedExpr(position);
        }
        return predicate();
    }

    Node nestedExpr(int position) {
        if (takeKeyword("NOT")) {
            Node node = makeNode(Kind::Not, position);
            node->children.push_back(notExpr());
            return node;
        }
        ++m_pos;
        Node inner = orExpr();
        expect(FilterTokenKind::CloseParen, "')'");
        return inner;
    }

    Node predicate() {
        Node operand = this->operand();
        if (peek().kind == FilterTokenKind::Operator) {
            const FilterCompare op = compareOf(take().text);
            Node node = makeBinary(Kind::Compare, std::move(operand), this->operand());
            node->compare = op;
            return node;
        }
        if (takeKeyword("IS"))
            return isNull(std::move(operand));
        const bool negated = takeKeyword("NOT");
        if (takeKeyword("LIKE"))
            return like(std::move(operand), negated);
        if (takeKeyword("IN"))
            return in(std::move(operand), negated);
        if (negated)
            fail("expected LIKE or IN after NOT, found " + describe(peek()));
        fail("expected a comparison (=, <>, <, >, <=, >=, LIKE, IS, IN), found " + describe(peek()));
    }

    Node isNull(Node operand) {
        Node node = makeNode(Kind::IsNull, operand->position);
        node->flag = takeKeyword("NOT");
        if (!takeKeyword("NULL"))
            fail("expected NULL after IS, found " + describe(peek()));
        node->children.push_back(std::move(operand));
        return node;
    }

    Node like(Node operand, bool negated) {
        if (peek().kind != FilterTokenKind::String)
            fail("expected a quoted pattern after LIKE, found " + describe(peek()));
        Node node = makeNode(Kind::Like, operand->position);
        const FilterToken& pattern = take();
        const std::size_t bound = LikePattern(pattern.text).lengthBound();
        if (pattern.text.size() > bound)
            throwFilterError(
                pattern.position,
                "the LIKE pattern has " + std::to_string(pattern.text.size()) + " bytes, more than " +
                    std::to_string(bound) +
                    (bound == kMaxLikePattern ? "" : " for a pattern with a wildcard before its end"));
        countLikeBytes(pattern, bound != kMaxLikePattern);
        node->text = pattern.text;
        node->flag = negated;
        node->children.push_back(std::move(operand));
        return node;
    }

    Node in(Node operand, bool negated) {
        Node node = makeNode(Kind::In, operand->position);
        node->flag = negated;
        node->children.push_back(std::move(operand));
        expect(FilterTokenKind::OpenParen, "'(' after IN");
        do {
            if (int(node->children.size()) > kMaxInItems)
                fail("more than " + std::to_string(kMaxInItems) + " items in the IN list");
            if (++m_size.inItems > kMaxFilterInItems)
                fail("more than " + std::to_string(kMaxFilterInItems) +
                     " items in the IN lists of the whole filter");
            --m_size.nodes; // the item is counted among the IN items instead
            node->children.push_back(literal());
        } while (peek().kind == FilterTokenKind::Comma && (++m_pos, true));
        expect(FilterTokenKind::CloseParen, "',' or ')' in the IN list");
        return node;
    }

    void countLikeBytes(const FilterToken& pattern, bool general) {
        m_size.likeBytes += pattern.text.size();
        if (m_size.likeBytes > kMaxFilterLikeBytes)
            throwFilterError(pattern.position, "the LIKE patterns of the whole filter have more than " +
                                                   std::to_string(kMaxFilterLikeBytes) + " bytes together");
        if (!general)
            return;
        m_size.wildcardLikeBytes += std::max(pattern.text.size(), kWildcardLikeCharge);
        if (m_size.wildcardLikeBytes > kMaxFilterWildcardLikeBytes)
            throwFilterError(pattern.position,
                             "the LIKE patterns with a wildcard before their end have more than " +
                                 std::to_string(kMaxFilterWildcardLikeBytes) +
                                 " bytes together in the whole filter, each counted as at least " +
                                 std::to_string(kWildcardLikeCharge));
    }

    Node literal() {
        Node node = operand();
        if (!node->isLiteral())
            throwFilterError(node->position, "the IN list takes only quoted texts, numbers, TRUE or FALSE");
        return node;
    }

    Node operand() {
        const FilterToken& token = peek();
        switch (token.kind) {
        case FilterTokenKind::Name:
            return leaf(Kind::Field);
        case FilterTokenKind::String:
            return leaf(Kind::String);
        case FilterTokenKind::Number:
            return leaf(Kind::Number);
        case FilterTokenKind::Minus:
            return negativeNumber();
        case FilterTokenKind::Keyword:
            return keywordOperand();
        default:
            fail("expected a field name or a value, found " + describe(token));
        }
    }

    Node leaf(Kind kind) {
        const FilterToken& token = take();
        Node node = makeNode(kind, token.position);
        node->text = token.text;
        return node;
    }

    Node negativeNumber() {
        const int position = take().position;
        if (peek().kind != FilterTokenKind::Number)
            fail("expected a number after '-', found " + describe(peek()));
        Node node = makeNode(Kind::Number, position);
        node->text = "-" + take().text;
        return node;
    }

    Node keywordOperand() {
        const FilterToken& token = take();
        if (token.text == "TRUE" || token.text == "FALSE") {
            Node node = makeNode(Kind::Boolean, token.position);
            node->flag = token.text == "TRUE";
            return node;
        }
        if (token.text != "UPPER" && token.text != "LOWER") {
            --m_pos;
            fail("expected a field name or a value, found " + describe(token));
        }
        Node node = makeNode(token.text == "UPPER" ? Kind::Upper : Kind::Lower, token.position);
        Nesting nesting(*this);
        expect(FilterTokenKind::OpenParen, ("'(' after " + token.text).c_str());
        node->children.push_back(operand());
        expect(FilterTokenKind::CloseParen, "')'");
        return node;
    }

    FilterTokenReader m_reader;
    std::deque<FilterToken> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
    FilterSize m_size;
};

// Whether a row matching `longer` always matches `shorter`: true when `shorter` is P% and
// `longer` starts with P (whatever follows P in `longer` is absorbed by the final %).
bool likePatternRefines(const AnsiString& longer, const AnsiString& shorter) {
    if (shorter.empty() || shorter.back() != '%')
        return longer == shorter;
    return longer.compare(0, shorter.size() - 1, shorter, 0, shorter.size() - 1) == 0 &&
           longer.size() >= shorter.size() - 1;
}

} // namespace

std::unique_ptr<FilterNode> parseFilter(std::string_view text) {
    return Parser(text, 0, FilterSize{}).run();
}

ParsedFilter parseFilterAfter(std::string_view text, const FilterSize& spent, int positionOffset) {
    Parser parser(text, positionOffset, spent);
    ParsedFilter parsed;
    parsed.tree = parser.run();
    parsed.size = parser.size();
    return parsed;
}

std::optional<FilterSize> filterSizeJoined(const FilterSize& base, bool parenthesised) {
    FilterSize joined = base;
    joined.nesting += parenthesised;
    ++joined.operators;
    ++joined.nodes;
    if (joined.nesting > kMaxNesting || joined.operators > kMaxOperators || joined.nodes > kMaxFilterNodes)
        return std::nullopt;
    return joined;
}

bool sameFilterTree(const FilterNode& a, const FilterNode& b) {
    if (&a == &b) // a shared base filter
        return true;
    if (a.kind != b.kind || a.flag != b.flag || a.compare != b.compare ||
        a.children.size() != b.children.size())
        return false;
    if (a.kind == Kind::Field ? UpperCase(a.text) != UpperCase(b.text) : a.text != b.text)
        return false;
    for (size_t i = 0; i < a.children.size(); ++i) {
        if (!sameFilterTree(*a.children[i], *b.children[i]))
            return false;
    }
    return true;
}

bool filterRefines(const FilterNode& narrower, const FilterNode& wider) {
    if (sameFilterTree(narrower, wider))
        return true;
    if (narrower.kind == Kind::And &&
        (filterRefines(*narrower.children[0], wider) || filterRefines(*narrower.children[1], wider)))
        return true;
    if (narrower.kind != wider.kind)
        return false;
    // Rows pass only when an expression is true, and AND and OR keep that order: narrowing either
    // side narrows the whole.
    if (narrower.kind == Kind::And || narrower.kind == Kind::Or)
        return filterRefines(*narrower.children[0], *wider.children[0]) &&
               filterRefines(*narrower.children[1], *wider.children[1]);
    return narrower.kind == Kind::Like && !narrower.flag && !wider.flag &&
           sameFilterTree(*narrower.children[0], *wider.children[0]) &&
           likePatternRefines(narrower.text, wider.text);
}

} // namespace qmr
