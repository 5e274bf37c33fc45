#include "host/data/LikePattern.h"

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
        return;
    }
    m_literal = AnsiString(middle);
    const bool leading = p.front() == '%';
    const bool trailing = p.back() == '%' && p.size() > middle.size() + leading;
    m_shape = leading && trailing ? Shape::Contains : leading ? Shape::Suffix : Shape::Prefix;
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
        return containsFolded(text, m_literal, fold);
    case Shape::General:
        break;
    }
    return matchesGeneral(text, fold);
}

// The classic wildcard walk: on a mismatch, go back to the last '%' and let it swallow one more
// byte. Linear in practice, at worst text size times pattern size; never recursive.
bool LikePattern::matchesGeneral(std::string_view text, TextFold fold) const noexcept {
    const std::string_view p = m_pattern;
    size_t t = 0, k = 0;
    size_t starK = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (k < p.size() && p[k] == '%') {
            starK = k++;
            starT = t;
        } else if (k < p.size() && (p[k] == '_' || p[k] == foldByte(text[t], fold))) {
            ++k;
            ++t;
        } else if (starK != std::string_view::npos) {
            k = starK + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (k < p.size() && p[k] == '%')
        ++k;
    return k == p.size();
}

} // namespace qmr
