#include <qmr41726/data/filter/FilterPredicates.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace qmr {

namespace {

// One side of a comparison for one row: no allocation, texts point into the column's arena,
// except for a value read as its shown text, which the row value then owns.
struct RowValue {
    bool null = false;
    std::string_view stored;
    std::string shown;
    bool isShown = false;
    FilterNumber number;
    bool boolean = false;

    std::string_view text() const noexcept { return isShown ? std::string_view(shown) : stored; }
};

RowValue fetch(const FilterValue& value, std::uint32_t row) {
    RowValue out;
    const StoreColumn* column = value.column;
    if (!column) {
        out.stored = value.text;
        out.number = value.number;
        out.boolean = value.boolean;
        return out;
    }
    if (column->isNull(row)) {
        out.null = true;
        return out;
    }
    if (value.readsShownText) {
        out.shown = columnText(*column, row);
        out.isShown = true;
        return out;
    }
    switch (column->def.type) {
    case TFieldType::ftString:
        out.stored = column->string(row);
        break;
    case TFieldType::ftInteger:
        out.number.integer = column->integers[row];
        break;
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime:
        out.number = {false, 0, column->reals[row]};
        break;
    case TFieldType::ftBoolean:
        out.boolean = column->booleans[row] != 0;
        break;
    }
    return out;
}

// Orders two texts by their (folded) bytes, unsigned; a text that is a prefix of the other is less.
int compareTexts(std::string_view a, TextFold foldA, std::string_view b, TextFold foldB) {
    if (foldA == TextFold::None && foldB == TextFold::None) {
        const int c = a.compare(b);
        return (c > 0) - (c < 0);
    }
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(foldByte(a[i], foldA));
        const auto y = static_cast<unsigned char>(foldByte(b[i], foldB));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

int compareRowValues(const FilterValue& a, const RowValue& x, const FilterValue& b, const RowValue& y) {
    switch (a.valueClass) {
    case FilterValue::Class::String:
        return compareTexts(x.text(), a.fold, y.text(), b.fold);
    case FilterValue::Class::Number:
        return compareFilterNumbers(x.number, y.number);
    case FilterValue::Class::Boolean:
        return int(x.boolean) - int(y.boolean);
    }
    return 0;
}

bool holds(FilterCompare op, int c) {
    switch (op) {
    case FilterCompare::Equal:
        return c == 0;
    case FilterCompare::NotEqual:
        return c != 0;
    case FilterCompare::Less:
        return c < 0;
    case FilterCompare::Greater:
        return c > 0;
    case FilterCompare::LessEqual:
        return c <= 0;
    case FilterCompare::GreaterEqual:
        return c >= 0;
    }
    return false;
}

std::uint8_t truthOf(bool value) {
    return value ? kTrue : kFalse;
}

// Turns the truth of every null row into unknown.
void markNulls(const StoreColumn& column, const std::uint32_t* rows, std::size_t count, std::uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
        if (column.isNull(rows[i]))
            out[i] = kUnknown;
    }
}

class ConstantPredicate : public FilterPredicate {
public:
    explicit ConstantPredicate(std::uint8_t truth) : m_truth(truth) {}
    void evaluate(const std::uint32_t*, std::size_t count, std::uint8_t* out) const override {
        std::fill(out, out + count, m_truth);
    }

private:
    std::uint8_t m_truth;
};

class AndOrPredicate : public FilterPredicate {
public:
    AndOrPredicate(FilterPredicatePtr left, FilterPredicatePtr right, bool isAnd)
        : m_left(std::move(left)), m_right(std::move(right)), m_isAnd(isAnd) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        std::uint8_t other[kFilterBatch];
        m_left->evaluate(rows, count, out);
        m_right->evaluate(rows, count, other);
        for (size_t i = 0; i < count; ++i)
            out[i] = m_isAnd ? std::min(out[i], other[i]) : std::max(out[i], other[i]);
    }

private:
    FilterPredicatePtr m_left, m_right;
    bool m_isAnd;
};

class NotPredicate : public FilterPredicate {
public:
    explicit NotPredicate(FilterPredicatePtr inner) : m_inner(std::move(inner)) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        m_inner->evaluate(rows, count, out);
        for (size_t i = 0; i < count; ++i)
            out[i] = std::uint8_t(kTrue - out[i]);
    }

private:
    FilterPredicatePtr m_inner;
};

class SharedPredicate : public FilterPredicate {
public:
    explicit SharedPredicate(std::shared_ptr<const FilterPredicate> shared) : m_shared(std::move(shared)) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        m_shared->evaluate(rows, count, out);
    }

private:
    std::shared_ptr<const FilterPredicate> m_shared;
};

class IsNullPredicate : public FilterPredicate {
public:
    IsNullPredicate(const StoreColumn& column, bool negated) : m_column(column), m_negated(negated) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        for (size_t i = 0; i < count; ++i)
            out[i] = truthOf(m_column.isNull(rows[i]) != m_negated);
    }

private:
    const StoreColumn& m_column;
    bool m_negated;
};

// LIKE on a text column's stored bytes or, over a number, date or Boolean column, on the text the
// grid shows for each value (a rarer case, which may build a text a row).
template <bool ShownText> class LikePredicate : public FilterPredicate {
public:
    LikePredicate(const StoreColumn& column, TextFold fold, AnsiString pattern, bool negated)
        : m_column(column), m_fold(fold), m_pattern(std::move(pattern)), m_negated(negated) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        for (size_t i = 0; i < count; ++i) {
            const std::uint32_t row = rows[i];
            if (m_column.isNull(row))
                out[i] = kUnknown;
            else if constexpr (ShownText)
                out[i] = truthOf(m_pattern.matches(columnText(m_column, row), m_fold) != m_negated);
            else
                out[i] = truthOf(m_pattern.matches(m_column.string(row), m_fold) != m_negated);
        }
    }

private:
    const StoreColumn& m_column;
    TextFold m_fold;
    LikePattern m_pattern;
    bool m_negated;
};

// LIKE on a column of few values: each value is matched once, then a row costs one byte.
class CodedLikePredicate : public FilterPredicate {
public:
    CodedLikePredicate(const StoreColumn& column, TextFold fold, const LikePattern& pattern, bool negated)
        : m_column(column) {
        for (std::size_t code = 0; code < column.dictionary.size(); ++code)
            m_truth[code] = truthOf(pattern.matches(column.dictionary[code], fold) != negated);
    }
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        const std::uint8_t* codes = m_column.codes.data();
        for (size_t i = 0; i < count; ++i)
            out[i] = m_truth[codes[rows[i]]];
        if (m_column.hasNulls())
            markNulls(m_column, rows, count, out);
    }

private:
    const StoreColumn& m_column;
    std::array<std::uint8_t, 256> m_truth{};
};

// A string column equal (or not) to a literal, as stored: the base filters hosts write most. A
// column of few values compares one byte a row.
class TextEqualsPredicate : public FilterPredicate {
public:
    TextEqualsPredicate(const StoreColumn& column, AnsiString literal, bool negated)
        : m_column(column), m_literal(std::move(literal)), m_negated(negated) {
        const auto& values = column.dictionary;
        m_code = int(std::find(values.begin(), values.end(), m_literal) - values.begin());
    }
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        if (m_column.isCoded()) {
            const std::uint8_t* codes = m_column.codes.data();
            for (size_t i = 0; i < count; ++i)
                out[i] = truthOf((codes[rows[i]] == m_code) != m_negated);
        } else {
            for (size_t i = 0; i < count; ++i)
                out[i] = truthOf((m_column.string(rows[i]) == m_literal) != m_negated);
        }
        if (m_column.hasNulls())
            markNulls(m_column, rows, count, out);
    }

private:
    const StoreColumn& m_column;
    AnsiString m_literal;
    int m_code = -1;
    bool m_negated;
};

// `column LIKE 'abc%'`, the search's own test. The first 4 bytes are checked in the column's
// heads, which turns most rows away without touching the text; a zero byte in the prefix would
// match the heads' padding, so such a prefix reads the text itself.
class PrefixLikePredicate : public FilterPredicate {
public:
    PrefixLikePredicate(const StoreColumn& column, TextFold fold, AnsiString prefix)
        : m_column(column), m_fold(fold), m_prefix(std::move(prefix)),
          m_useHeads(!column.heads.empty() && m_prefix.find('\0') == AnsiString::npos) {}

    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        for (size_t i = 0; i < count; ++i)
            out[i] = truthOf((!m_useHeads || headMatches(rows[i])) && textMatches(rows[i]));
        if (m_column.hasNulls())
            markNulls(m_column, rows, count, out);
    }

private:
    bool headMatches(std::uint32_t row) const {
        const std::array<char, 4>& head = m_column.heads[row];
        for (std::size_t k = 0, n = std::min<std::size_t>(m_prefix.size(), 4); k < n; ++k) {
            if (foldByte(head[k], m_fold) != m_prefix[k])
                return false;
        }
        return true;
    }

    bool textMatches(std::uint32_t row) const {
        const std::size_t from = m_useHeads ? 4 : 0;
        if (from >= m_prefix.size())
            return true; // the heads had every byte, and no padding can match a non-zero byte
        const std::string_view text = m_column.string(row);
        if (text.size() < m_prefix.size())
            return false;
        for (std::size_t k = from; k < m_prefix.size(); ++k) {
            if (foldByte(text[k], m_fold) != m_prefix[k])
                return false;
        }
        return true;
    }

    const StoreColumn& m_column;
    TextFold m_fold;
    AnsiString m_prefix;
    bool m_useHeads;
};

class ComparePredicate : public FilterPredicate {
public:
    ComparePredicate(FilterValue a, FilterCompare op, FilterValue b)
        : m_a(std::move(a)), m_b(std::move(b)), m_op(op) {}
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        for (size_t i = 0; i < count; ++i) {
            const RowValue x = fetch(m_a, rows[i]);
            const RowValue y = fetch(m_b, rows[i]);
            out[i] = x.null || y.null ? kUnknown : truthOf(holds(m_op, compareRowValues(m_a, x, m_b, y)));
        }
    }

private:
    FilterValue m_a, m_b;
    FilterCompare m_op;
};

// Matches each row by a binary search of the literals, sorted once: a long list costs a few
// comparisons per row, not one per item. Every order used here is total over the literals and
// agrees with the comparison that decides equality, so the search finds exactly what a scan would.
class InPredicate : public FilterPredicate {
public:
    InPredicate(FilterValue value, std::vector<FilterValue> literals, bool negated)
        : m_value(std::move(value)), m_literals(std::move(literals)), m_negated(negated) {
        std::sort(m_literals.begin(), m_literals.end(), [](const FilterValue& a, const FilterValue& b) {
            return compareRowValues(a, fetch(a, 0), b, fetch(b, 0)) < 0;
        });
    }
    void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const override {
        for (size_t i = 0; i < count; ++i) {
            const RowValue x = fetch(m_value, rows[i]);
            out[i] = x.null ? kUnknown : truthOf(contains(x) != m_negated);
        }
    }

private:
    bool contains(const RowValue& x) const {
        size_t low = 0, high = m_literals.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            const FilterValue& literal = m_literals[middle];
            const int c = compareRowValues(m_value, x, literal, fetch(literal, 0));
            if (c == 0)
                return true;
            if (c < 0)
                high = middle;
            else
                low = middle + 1;
        }
        return false;
    }

    FilterValue m_value;
    std::vector<FilterValue> m_literals;
    bool m_negated;
};

} // namespace

int compareFilterNumbers(const FilterNumber& a, const FilterNumber& b) noexcept {
    if (a.isInteger && b.isInteger)
        return (a.integer > b.integer) - (a.integer < b.integer);
    if (!a.isInteger && !b.isInteger)
        return (a.real > b.real) - (a.real < b.real);
    if (!a.isInteger)
        return -compareFilterNumbers(b, a);
    // An integer against a double, without rounding the integer to a double.
    const double d = b.real;
    if (d >= 9223372036854775808.0)
        return -1;
    if (d < -9223372036854775808.0)
        return 1;
    const double floor = std::floor(d);
    const auto whole = std::int64_t(floor);
    if (a.integer != whole)
        return a.integer < whole ? -1 : 1;
    return floor == d ? 0 : -1;
}

std::uint8_t compareLiterals(const FilterValue& a, FilterCompare op, const FilterValue& b) {
    return truthOf(holds(op, compareRowValues(a, fetch(a, 0), b, fetch(b, 0))));
}

FilterPredicatePtr makeConstant(std::uint8_t truth) {
    return std::make_unique<ConstantPredicate>(truth);
}

FilterPredicatePtr makeAnd(FilterPredicatePtr left, FilterPredicatePtr right) {
    return std::make_unique<AndOrPredicate>(std::move(left), std::move(right), true);
}

FilterPredicatePtr makeOr(FilterPredicatePtr left, FilterPredicatePtr right) {
    return std::make_unique<AndOrPredicate>(std::move(left), std::move(right), false);
}

FilterPredicatePtr makeNot(FilterPredicatePtr inner) {
    return std::make_unique<NotPredicate>(std::move(inner));
}

FilterPredicatePtr makeShared(std::shared_ptr<const FilterPredicate> shared) {
    return std::make_unique<SharedPredicate>(std::move(shared));
}

FilterPredicatePtr makeIsNull(const StoreColumn& column, bool negated) {
    return std::make_unique<IsNullPredicate>(column, negated);
}

FilterPredicatePtr makeLike(const StoreColumn& column, TextFold fold, AnsiString pattern, bool negated) {
    const LikePattern compiled(pattern);
    if (column.def.type != TFieldType::ftString)
        return std::make_unique<LikePredicate<true>>(column, fold, std::move(pattern), negated);
    if (column.isCoded())
        return std::make_unique<CodedLikePredicate>(column, fold, compiled, negated);
    if (!negated && compiled.shape() == LikePattern::Shape::Prefix)
        return std::make_unique<PrefixLikePredicate>(column, fold, AnsiString(compiled.literalPrefix()));
    return std::make_unique<LikePredicate<false>>(column, fold, std::move(pattern), negated);
}

FilterPredicatePtr makeCompare(FilterValue a, FilterCompare op, FilterValue b) {
    if (!a.column && !b.column)
        return makeConstant(compareLiterals(a, op, b));
    if (!a.column)
        return makeCompare(std::move(b),
                           FilterCompare(op == FilterCompare::Less           ? FilterCompare::Greater
                                         : op == FilterCompare::Greater      ? FilterCompare::Less
                                         : op == FilterCompare::LessEqual    ? FilterCompare::GreaterEqual
                                         : op == FilterCompare::GreaterEqual ? FilterCompare::LessEqual
                                                                             : op),
                           std::move(a));
    const bool equality = op == FilterCompare::Equal || op == FilterCompare::NotEqual;
    if (equality && !b.column && a.valueClass == FilterValue::Class::String && a.fold == TextFold::None &&
        !a.readsShownText)
        return std::make_unique<TextEqualsPredicate>(*a.column, std::move(b.text),
                                                     op == FilterCompare::NotEqual);
    return std::make_unique<ComparePredicate>(std::move(a), op, std::move(b));
}

FilterPredicatePtr makeIn(FilterValue value, std::vector<FilterValue> literals, bool negated) {
    return std::make_unique<InPredicate>(std::move(value), std::move(literals), negated);
}

} // namespace qmr
