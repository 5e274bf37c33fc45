#include <qmr41726/data/filter/LikePattern.h>

#include <algorithm>

namespace qmr {

namespace {

bool isWildcard(char c) {
    return c == '%' || c == '_';
}

bool equalFolded(std::string_view text, std::string_view literal, TextFold fold) {
    if (fold == TextFold::None)
        return text == literal;
    if (text.size() != literal.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (foldByte(text[i], fold) != literal[i])
            return false;
    }
    return true;
}

bool containsFolded(std::string_view text, std::string_view literal, TextFold fold) {
    if (fold == TextFold::None)
        return text.find(literal) != std::string_view::npos;
    const auto found = std::search(text.begin(), text.end(), literal.begin(), literal.end(),
                                   [fold](char a, char b) { return foldByte(a, fold) == b; });
    return found != text.end() || literal.empty();
}

// Whether a run of the pattern ('_' any byte) matches the text at `at`.
bool runMatchesAt(std::string_view run, std::string_view text, size_t at, TextFold fold) noexcept {
    if (at > text.size() || text.size() - at < run.size())
        return false;
    for (size_t i = 0; i < run.size(); ++i) {
        if (run[i] != '_' && run[i] != foldByte(text[at + i], fold))
            return false;
    }
    return true;
}

// The state of the bit-parallel search fits runs up to the bound of a pattern with wildcards.
constexpr size_t kStateWords = kMaxWildcardLikePattern / 64 + 1;

} // namespace

LikePattern::LikePattern(AnsiString pattern) : m_pattern(std::move(pattern)) {
    const std::string_view p = m_pattern;
    const size_t firstWild = p.find_first_of("%_");
    if (firstWild == std::string_view::npos) {
        m_shape = Shape::Exact;
        m_literal = m_pattern;
        return;
    }
    const std::string_view inner = p.substr(p.front() == '%' ? 1 : 0);
    const std::string_view middle = inner.substr(0, inner.size() - (!inner.empty() && inner.back() == '%'));
    const bool middleLiteral = std::none_of(middle.begin(), middle.end(), isWildcard);
    if (!middleLiteral || p.size() < 2) {
        m_shape = p == "%" ? Shape::Prefix : Shape::General;
        splitSegments();
        return;
    }
    m_literal = AnsiString(middle);
    const bool leading = p.front() == '%';
    const bool trailing = p.back() == '%' && p.size() > middle.size() + leading;
    m_shape = leading && trailing ? Shape::Contains : leading ? Shape::Suffix : Shape::Prefix;
    if (m_shape == Shape::Contains)
        splitSegments();
}

void LikePattern::splitSegments() {
    const std::string_view p = m_pattern;
    m_hasPercent = p.find('%') != std::string_view::npos;
    size_t start = 0;
    for (;;) {
        const size_t stop = std::min(p.find('%', start), p.size());
        Segment segment{start, stop - start, {}};
        segment.masks.assign(256 * segment.words(), 0);
        for (size_t i = 0; i < segment.size; ++i) {
            const char byte = p[start + i];
            const std::uint64_t bit = std::uint64_t(1) << (i % 64);
            for (int c = 0; c < 256; ++c) {
                if (byte == '_' || byte == char(c))
                    segment.masks[c * segment.words() + i / 64] |= bit;
            }
        }
        m_segments.push_back(std::move(segment));
        if (stop == p.size())
            break;
        start = stop + 1;
    }
}

std::size_t LikePattern::lengthBound() const noexcept {
    return m_shape == Shape::Exact || m_shape == Shape::Prefix ? kMaxLikePattern : kMaxWildcardLikePattern;
}

std::string_view LikePattern::literalPrefix() const noexcept {
    const std::string_view p = m_pattern;
    return p.substr(0, std::min(p.find_first_of("%_"), p.size()));
}

bool LikePattern::matches(std::string_view text, TextFold fold) const noexcept {
    switch (m_shape) {
    case Shape::Exact:
        return equalFolded(text, m_literal, fold);
    case Shape::Prefix:
        return text.size() >= m_literal.size() &&
               equalFolded(text.substr(0, m_literal.size()), m_literal, fold);
    case Shape::Suffix:
        return text.size() >= m_literal.size() &&
               equalFolded(text.substr(text.size() - m_literal.size()), m_literal, fold);
    case Shape::Contains:
        // A plain search is fast on raw bytes; under a fold it would retry the literal at every
        // byte, so the bit-parallel walk takes over.
        if (fold == TextFold::None)
            return containsFolded(text, m_literal, fold);
        break;
    case Shape::General:
        break;
    }
    return matchesGeneral(text, fold);
}

// Bit-parallel search (shift-and): bit i of the state says the last i + 1 bytes of the text match
// the first i + 1 of the run, '_' matching any byte. One pass over the text, a word of work per
// 64 bytes of the run, whatever the bytes are.
// A longer run than the filter language accepts (a pattern built in code) is tried at each place.
std::size_t LikePattern::findSegment(const Segment& segment, std::string_view text, std::size_t from,
                                     std::size_t to, TextFold fold) const noexcept {
    const size_t words = segment.words();
    if (words > kStateWords) {
        for (size_t at = from; at + segment.size <= to; ++at) {
            if (runMatchesAt(run(segment), text, at, fold))
                return at + segment.size;
        }
        return std::string_view::npos;
    }
    const size_t last = segment.size - 1;
    std::uint64_t state[kStateWords] = {};
    for (size_t t = from; t < to; ++t) {
        const std::uint64_t* mask =
            segment.masks.data() + static_cast<unsigned char>(foldByte(text[t], fold)) * words;
        std::uint64_t carry = 1;
        for (size_t w = 0; w < words; ++w) {
            const std::uint64_t next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[last / 64] >> (last % 64) & 1)
            return t + 1;
    }
    return std::string_view::npos;
}

// The first run is pinned to the start of the text and the last to its end; each run between is
// taken at its leftmost place after the one before, which leaves the most room for the rest, so
// no place is ever retried.
bool LikePattern::matchesGeneral(std::string_view text, TextFold fold) const noexcept {
    if (!m_hasPercent)
        return text.size() == m_pattern.size() && runMatchesAt(m_pattern, text, 0, fold);
    const std::string_view first = run(m_segments.front());
    const std::string_view last = run(m_segments.back());
    if (!runMatchesAt(first, text, 0, fold) || text.size() - first.size() < last.size() ||
        !runMatchesAt(last, text, text.size() - last.size(), fold))
        return false;
    size_t from = first.size();
    const size_t to = text.size() - last.size();
    for (size_t i = 1; i + 1 < m_segments.size(); ++i) {
        if (m_segments[i].size == 0)
            continue;
        const size_t end = findSegment(m_segments[i], text, from, to, fold);
        if (end == std::string_view::npos)
            return false;
        from = end;
    }
    return true;
}

} // namespace qmr
