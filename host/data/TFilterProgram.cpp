#include "host/data/TFilterProgram.h"

#include "host/data/ColumnStoreImpl.h"
#include "host/data/FilterCompiler.h"

namespace {

using Kind = FilterNode::Kind;

// The column and casing a LIKE tests: a field, possibly inside UPPER( ) / LOWER( ).
bool likeSubject(const FilterNode& operand, const TColumnStore::Impl& store, FilterPrefixTerm& term) {
    if (operand.kind == Kind::Field) {
        term.column = findStoreColumn(store, operand.text);
        return term.column >= 0;
    }
    if (operand.kind != Kind::Upper && operand.kind != Kind::Lower)
        return false;
    if (!likeSubject(*operand.children[0], store, term))
        return false;
    term.fold = operand.kind == Kind::Upper ? TextFold::Upper : TextFold::Lower;
    return true;
}

// The longest-prefix LIKE among the terms every passing row must satisfy (the top-level ANDs).
void findPrefixTerm(const FilterNode& node, const TColumnStore::Impl& store, FilterPrefixTerm& best) {
    if (node.kind == Kind::And) {
        findPrefixTerm(*node.children[0], store, best);
        findPrefixTerm(*node.children[1], store, best);
        return;
    }
    if (node.kind != Kind::Like || node.flag)
        return;
    FilterPrefixTerm term;
    term.prefix = AnsiString(LikePattern(node.text).literalPrefix());
    if (term.prefix.empty() || term.prefix.size() <= best.prefix.size())
        return;
    if (likeSubject(*node.children[0], store, term))
        best = std::move(term);
}

} // namespace

TFilterProgram::~TFilterProgram() = default;

std::unique_ptr<TFilterProgram> TFilterProgram::compile(std::string_view text, const TColumnStore& store) {
    std::unique_ptr<TFilterProgram> program(new TFilterProgram());
    program->m_tree = parseFilter(text);
    if (!program->m_tree)
        return program;
    program->m_predicate = compileFilterTree(*program->m_tree, store.impl());
    findPrefixTerm(*program->m_tree, store.impl(), program->m_prefix);
    return program;
}

void TFilterProgram::select(const std::uint32_t* rows, std::size_t count,
                            std::vector<std::uint32_t>& out) const {
    if (!m_predicate) {
        out.insert(out.end(), rows, rows + count);
        return;
    }
    std::uint8_t truth[kFilterBatch];
    for (std::size_t start = 0; start < count; start += kFilterBatch) {
        const std::size_t n = std::min(kFilterBatch, count - start);
        m_predicate->evaluate(rows + start, n, truth);
        for (std::size_t i = 0; i < n; ++i) {
            if (truth[i] == kTrue)
                out.push_back(rows[start + i]);
        }
    }
}

void TFilterProgram::selectRange(std::uint32_t begin, std::uint32_t end,
                                 std::vector<std::uint32_t>& out) const {
    std::uint32_t rows[kFilterBatch];
    for (std::uint32_t start = begin; start < end;) {
        const std::uint32_t n = std::min<std::uint32_t>(std::uint32_t(kFilterBatch), end - start);
        for (std::uint32_t i = 0; i < n; ++i)
            rows[i] = start + i;
        select(rows, n, out);
        start += n;
    }
}
