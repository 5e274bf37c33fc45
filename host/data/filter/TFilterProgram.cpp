#include <qmr41726/data/filter/TFilterProgram.h>

#include <qmr41726/data/filter/FilterCompiler.h>
#include <qmr41726/data/index/PrefixHeadScan.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

#include <algorithm>

namespace qmr {

namespace {

using Kind = FilterNode::Kind;

// The column and casing a LIKE tests: a text field, possibly inside UPPER( ) / LOWER( ). A LIKE
// over another field's shown text is no prefix of its stored values, so it gets no term.
bool likeSubject(const FilterNode& operand, const TColumnStore::Impl& store, FilterPrefixTerm& term) {
    if (operand.kind == Kind::Field) {
        term.column = findStoreColumn(store, operand.text);
        return term.column >= 0 && store.columns[std::size_t(term.column)].def.type == TFieldType::ftString;
    }
    if (operand.kind != Kind::Upper && operand.kind != Kind::Lower)
        return false;
    if (!likeSubject(*operand.children[0], store, term))
        return false;
    term.fold = operand.kind == Kind::Upper ? TextFold::Upper : TextFold::Lower;
    return true;
}

// The terms every passing row must satisfy: the operands of the top-level ANDs.
void collectConjuncts(const FilterNode& node, std::vector<const FilterNode*>& out) {
    if (node.kind != Kind::And) {
        out.push_back(&node);
        return;
    }
    collectConjuncts(*node.children[0], out);
    collectConjuncts(*node.children[1], out);
}

// The longest-prefix LIKE among the conjuncts, or nullptr.
const FilterNode* findPrefixTerm(const std::vector<const FilterNode*>& conjuncts,
                                 const TColumnStore::Impl& store, FilterPrefixTerm& best) {
    const FilterNode* found = nullptr;
    for (const FilterNode* node : conjuncts) {
        if (node->kind != Kind::Like || node->flag)
            continue;
        const LikePattern pattern(node->text);
        FilterPrefixTerm term;
        term.prefix = AnsiString(pattern.literalPrefix());
        term.wholePattern = pattern.shape() == LikePattern::Shape::Prefix;
        if (term.prefix.size() > best.prefix.size() && likeSubject(*node->children[0], store, term)) {
            best = std::move(term);
            found = node;
        }
    }
    return found;
}

// The tree of "base AND tail" as the parser builds it from the whole text: AND binds to the left,
// so base joins the first term of the tail's chain of ANDs, and the chain is built again above.
std::shared_ptr<const FilterNode> joinLeft(std::shared_ptr<const FilterNode> base,
                                           std::shared_ptr<const FilterNode> tail) {
    auto node = std::make_shared<FilterNode>();
    node->kind = Kind::And;
    if (tail->kind == Kind::And) {
        node->children.push_back(joinLeft(std::move(base), tail->children[0]));
        node->children.push_back(tail->children[1]);
    } else {
        node->children.push_back(std::move(base));
        node->children.push_back(std::move(tail));
    }
    node->position = node->children[0]->position;
    return node;
}

} // namespace

TFilterProgram::~TFilterProgram() = default;

std::unique_ptr<TFilterProgram> TFilterProgram::compile(std::string_view text, const TColumnStore& store) {
    std::unique_ptr<TFilterProgram> program(new TFilterProgram());
    ParsedFilter parsed = parseFilterAfter(text, FilterSize{}, 0);
    program->m_tree = std::move(parsed.tree);
    program->m_size = parsed.size;
    if (!program->m_tree)
        return program;
    program->m_predicate = compileFilterTree(*program->m_tree, store.impl());
    program->findTerms(store);
    for (const FilterNode* node : program->m_restTerms) {
        auto predicate = compileFilterTree(*node, store.impl());
        program->m_rest = program->m_rest ? makeAnd(std::move(program->m_rest), std::move(predicate))
                                          : std::move(predicate);
    }
    return program;
}

std::unique_ptr<TFilterProgram> TFilterProgram::compileAppended(std::shared_ptr<const TFilterProgram> base,
                                                                bool parenthesised, bool baseIsOneGroup,
                                                                std::string_view tail, int tailOffset,
                                                                const TColumnStore& store) {
    if (!base->m_tree || (!parenthesised && !baseIsOneGroup && base->m_tree->kind == Kind::Or))
        return nullptr;
    const std::optional<FilterSize> joined = filterSizeJoined(base->m_size, parenthesised);
    if (!joined)
        return nullptr;
    ParsedFilter parsed = parseFilterAfter(tail, *joined, tailOffset);
    if (!parsed.tree || parsed.tree->kind == Kind::Or)
        return nullptr;
    std::unique_ptr<TFilterProgram> program(new TFilterProgram());
    program->m_tree = joinLeft(base->m_tree, parsed.tree);
    program->m_size = parsed.size;
    // The tail is tested first: it is what a search types, short and often narrow.
    const std::shared_ptr<const FilterPredicate> basePredicate(base, base->m_predicate.get());
    program->m_predicate = makeAnd(compileFilterTree(*parsed.tree, store.impl()), makeShared(basePredicate));
    program->findTerms(store);
    // The base's terms are all among the rest unless the prefix term is one of them; then it is
    // the base's own prefix term (the longest prefix, the first of equals), and the base's rest
    // is the rest's share of the base.
    std::vector<const FilterNode*> tailTerms;
    collectConjuncts(*parsed.tree, tailTerms);
    const bool termInTail =
        std::find(tailTerms.begin(), tailTerms.end(), program->m_prefixNode) != tailTerms.end();
    if (program->m_prefixNode && !termInTail)
        program->m_rest = base->m_rest
                              ? makeShared(std::shared_ptr<const FilterPredicate>(base, base->m_rest.get()))
                              : nullptr;
    else
        program->m_rest = makeShared(basePredicate);
    for (const FilterNode* node : tailTerms) {
        if (node == program->m_prefixNode)
            continue;
        auto predicate = compileFilterTree(*node, store.impl());
        program->m_rest = program->m_rest ? makeAnd(std::move(predicate), std::move(program->m_rest))
                                          : std::move(predicate);
    }
    return program;
}

void TFilterProgram::findTerms(const TColumnStore& store) {
    std::vector<const FilterNode*> conjuncts;
    collectConjuncts(*m_tree, conjuncts);
    m_prefixNode = findPrefixTerm(conjuncts, store.impl(), m_prefix);
    if (m_prefixNode) {
        m_prefixColumn = &store.impl().columns[std::size_t(m_prefix.column)];
        m_term = compileFilterTree(*m_prefixNode, store.impl());
    }
    for (const FilterNode* node : conjuncts) {
        if (node != m_prefixNode)
            m_restTerms.push_back(node);
    }
}

bool TFilterProgram::restImpliedBy(const TFilterProgram& wider) const {
    if (m_restTerms.empty())
        return true;
    if (!wider.m_tree)
        return false;
    std::vector<const FilterNode*> widerTerms;
    collectConjuncts(*wider.m_tree, widerTerms);
    return std::all_of(m_restTerms.begin(), m_restTerms.end(), [&](const FilterNode* term) {
        return std::any_of(widerTerms.begin(), widerTerms.end(),
                           [&](const FilterNode* other) { return sameFilterTree(*term, *other); });
    });
}

void TFilterProgram::select(const std::uint32_t* rows, std::size_t count,
                            std::vector<std::uint32_t>& out) const {
    run(m_predicate.get(), rows, count, out);
}

void TFilterProgram::selectRest(const std::uint32_t* rows, std::size_t count,
                                std::vector<std::uint32_t>& out) const {
    run(m_rest.get(), rows, count, out);
}

void TFilterProgram::selectTerm(const std::uint32_t* rows, std::size_t count,
                                std::vector<std::uint32_t>& out) const {
    run(m_term ? m_term.get() : m_predicate.get(), rows, count, out);
}

void TFilterProgram::run(const FilterPredicate* predicate, const std::uint32_t* rows, std::size_t count,
                         std::vector<std::uint32_t>& out) {
    if (!predicate) {
        out.insert(out.end(), rows, rows + count);
        return;
    }
    std::uint8_t truth[kFilterBatch];
    for (std::size_t start = 0; start < count; start += kFilterBatch) {
        const std::size_t n = std::min(kFilterBatch, count - start);
        predicate->evaluate(rows + start, n, truth);
        for (std::size_t i = 0; i < n; ++i) {
            if (truth[i] == kTrue)
                out.push_back(rows[start + i]);
        }
    }
}

void TFilterProgram::selectRange(std::uint32_t begin, std::uint32_t end,
                                 std::vector<std::uint32_t>& out) const {
    if (m_prefixColumn && selectRangeByHeads(begin, end, out))
        return;
    std::uint32_t rows[kFilterBatch];
    for (std::uint32_t start = begin; start < end;) {
        const std::uint32_t n = std::min<std::uint32_t>(std::uint32_t(kFilterBatch), end - start);
        for (std::uint32_t i = 0; i < n; ++i)
            rows[i] = start + i;
        select(rows, n, out);
        start += n;
    }
}

// The prefix term's heads name the candidates. They settle the LIKE when the prefix fits in them
// and is the whole pattern; otherwise the candidates still face the whole filter.
bool TFilterProgram::selectRangeByHeads(std::uint32_t begin, std::uint32_t end,
                                        std::vector<std::uint32_t>& out) const {
    const bool headsSettle = m_prefix.wholePattern && m_prefix.prefix.size() <= 4;
    if (headsSettle && !m_rest)
        return scanPrefixHeads(*m_prefixColumn, m_prefix, begin, end, out);
    std::vector<std::uint32_t> candidates;
    if (!scanPrefixHeads(*m_prefixColumn, m_prefix, begin, end, candidates))
        return false;
    if (headsSettle)
        selectRest(candidates.data(), candidates.size(), out);
    else
        select(candidates.data(), candidates.size(), out);
    return true;
}

} // namespace qmr
