#include <qmr41726/data/filter/FilterCompiler.h>

#include <qmr41726/data/filter/FilterLexer.h>
#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/MessageText.h>

#include <charconv>

namespace qmr {

namespace {

using Kind = FilterNode::Kind;
using Class = FilterValue::Class;

Class classOf(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
        return Class::String;
    case TFieldType::ftBoolean:
        return Class::Boolean;
    default:
        return Class::Number;
    }
}

// A compiled operand with what error messages call it and where it stands.
struct Operand {
    FilterValue value;
    std::string description;
    int position = 0;

    bool isLiteral() const { return value.column == nullptr; }
};

std::optional<FilterNumber> numberFromText(std::string_view text) {
    std::int64_t integer = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), integer);
    if (error == std::errc() && end == text.data() + text.size())
        return FilterNumber{true, integer, 0};
    if (const auto real = parseNumberText(text))
        return FilterNumber{false, 0, *real};
    return std::nullopt;
}

class Compiler {
public:
    explicit Compiler(const TColumnStore::Impl& store) : m_store(store) {}

    FilterPredicatePtr node(const FilterNode& n) {
        switch (n.kind) {
        case Kind::And:
            return makeAnd(node(*n.children[0]), node(*n.children[1]));
        case Kind::Or:
            return makeOr(node(*n.children[0]), node(*n.children[1]));
        case Kind::Not:
            return makeNot(node(*n.children[0]));
        case Kind::Compare:
            return compare(n);
        case Kind::Like:
            return like(n);
        case Kind::IsNull:
            return isNull(n);
        case Kind::In:
            return in(n);
        default:
            throwFilterError(n.position, "expected a condition, found a value alone");
        }
    }

private:
    Operand operand(const FilterNode& n) {
        Operand out;
        out.position = n.position;
        switch (n.kind) {
        case Kind::Field:
            return field(n);
        case Kind::String:
            out.value.text = n.text;
            out.description = "the text " + quotedExcerpt(n.text);
            return out;
        case Kind::Number:
            out.value.valueClass = Class::Number;
            if (const auto number = numberFromText(n.text))
                out.value.number = *number;
            else
                throwFilterError(n.position, "number out of range");
            out.description = "the number " + n.text;
            return out;
        case Kind::Boolean:
            out.value.valueClass = Class::Boolean;
            out.value.boolean = n.flag;
            out.description = n.flag ? "TRUE" : "FALSE";
            return out;
        case Kind::Upper:
        case Kind::Lower:
            return folded(n);
        default:
            throwFilterError(n.position, "expected a field name or a value");
        }
    }

    Operand field(const FilterNode& n) {
        const int index = findStoreColumn(m_store, n.text);
        if (index < 0)
            throwFilterError(n.position, "unknown field " + quotedExcerpt(n.text));
        const StoreColumn& column = m_store.columns[size_t(index)];
        Operand out;
        out.position = n.position;
        out.value.column = &column;
        out.value.valueClass = classOf(column.def.type);
        out.description =
            std::string("the ") + fieldTypeName(column.def.type) + " field '" + column.def.name + "'";
        return out;
    }

    Operand folded(const FilterNode& n) {
        const char* name = n.kind == Kind::Upper ? "UPPER" : "LOWER";
        const TextFold fold = n.kind == Kind::Upper ? TextFold::Upper : TextFold::Lower;
        Operand inner = operand(*n.children[0]);
        readAsText(inner, name);
        inner.position = n.position;
        if (inner.isLiteral())
            inner.value.text =
                fold == TextFold::Upper ? UpperCase(inner.value.text) : LowerCase(inner.value.text);
        else
            inner.value.fold = fold; // the outermost casing decides: UPPER(LOWER(x)) is UPPER(x)
        return inner;
    }

    // UPPER, LOWER and LIKE read a field of any type as the text the grid shows for it, so that a
    // search typed over a number or date column narrows by what the user sees; a literal must
    // already be a text.
    void readAsText(Operand& operand, const char* what) {
        if (operand.value.valueClass == Class::String || operand.isLiteral())
            return requireText(operand, what);
        operand.value.valueClass = Class::String;
        operand.value.readsShownText = true;
        operand.description = "the text of " + operand.description;
    }

    void requireText(const Operand& operand, const char* what) {
        if (operand.value.valueClass != Class::String)
            throwFilterError(operand.position,
                             std::string(what) + " needs a text, but " + operand.description + " is not one");
    }

    // Reads a quoted literal as the number, date or Boolean the other side needs.
    bool coerce(Operand& literal, const Operand& target) {
        FilterValue& v = literal.value;
        if (v.valueClass == target.value.valueClass)
            return true;
        if (!literal.isLiteral() || v.valueClass != Class::String)
            return false;
        if (target.value.valueClass == Class::Boolean) {
            const AnsiString upper = UpperCase(v.text);
            if (upper != "TRUE" && upper != "FALSE")
                return false;
            v.valueClass = Class::Boolean;
            v.boolean = upper == "TRUE";
            return true;
        }
        const bool isDate = target.value.column && target.value.column->def.type == TFieldType::ftDateTime;
        std::optional<FilterNumber> number;
        if (const auto date = isDate ? parseDateTimeText(v.text) : std::nullopt)
            number = FilterNumber{false, 0, *date};
        else
            number = numberFromText(v.text);
        if (!number)
            return false;
        v.valueClass = Class::Number;
        v.number = *number;
        return true;
    }

    // Brings two sides to one class, or raises naming both.
    void match(Operand& a, Operand& b) {
        const bool ok = (a.isLiteral() && !b.isLiteral()) ? coerce(a, b) : coerce(b, a);
        if (!ok)
            throwFilterError(b.position, "cannot compare " + a.description + " with " + b.description);
    }

    FilterPredicatePtr compare(const FilterNode& n) {
        Operand a = operand(*n.children[0]);
        Operand b = operand(*n.children[1]);
        match(a, b);
        return makeCompare(std::move(a.value), n.compare, std::move(b.value));
    }

    FilterPredicatePtr like(const FilterNode& n) {
        Operand a = operand(*n.children[0]);
        readAsText(a, "LIKE");
        if (a.isLiteral())
            return makeConstant(LikePattern(n.text).matches(a.value.text, TextFold::None) != n.flag ? kTrue
                                                                                                    : kFalse);
        return makeLike(*a.value.column, a.value.fold, n.text, n.flag);
    }

    FilterPredicatePtr isNull(const FilterNode& n) {
        Operand a = operand(*n.children[0]);
        if (a.isLiteral())
            return makeConstant(n.flag ? kTrue : kFalse);
        return makeIsNull(*a.value.column, n.flag);
    }

    FilterPredicatePtr in(const FilterNode& n) {
        Operand a = operand(*n.children[0]);
        std::vector<FilterValue> literals;
        for (size_t i = 1; i < n.children.size(); ++i) {
            Operand item = operand(*n.children[i]);
            match(a, item);
            literals.push_back(std::move(item.value));
        }
        if (!a.isLiteral())
            return makeIn(std::move(a.value), std::move(literals), n.flag);
        bool found = false;
        for (const FilterValue& literal : literals)
            found = found || compareLiterals(a.value, FilterCompare::Equal, literal) == kTrue;
        return makeConstant(found != n.flag ? kTrue : kFalse);
    }

    const TColumnStore::Impl& m_store;
};

} // namespace

int findStoreColumn(const TColumnStore::Impl& store, std::string_view name) {
    const AnsiString wanted = UpperCase(name);
    for (size_t i = 0; i < store.columns.size(); ++i) {
        if (store.columns[i].def.name.size() == wanted.size() &&
            UpperCase(store.columns[i].def.name) == wanted)
            return int(i);
    }
    return -1;
}

FilterPredicatePtr compileFilterTree(const FilterNode& tree, const TColumnStore::Impl& store) {
    return Compiler(store).node(tree);
}

} // namespace qmr
