#pragma once
// LIKE patterns: '%' matches any run of characters (none included), '_' exactly one; every other
// byte, '\' included, matches itself. There is no escape character, so a pattern cannot ask for
// a literal '%' or '_'. Matching is by bytes and case-sensitive; a fold (UPPER or LOWER of the
// tested value) is applied to the tested bytes on the fly.

#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/TextFold.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qmr {

/// Pattern bounds. Without a wildcard, or with only a final '%', a pattern matches in time linear
/// in the tested text whatever its length, so the long bound only keeps the filter's size sane
/// (a search text of the widest string field, 65535 bytes, fits). Any other pattern may retry
/// each byte of the text against a run of the pattern, so its length multiplies the matching time
/// and is held far lower.
constexpr std::size_t kMaxLikePattern = 131072;
constexpr std::size_t kMaxWildcardLikePattern = 1024;

/// A compiled LIKE pattern.
class LikePattern {
public:
    /// The shapes a pattern can take; the common ones match without the general algorithm.
    enum class Shape {
        Exact,    // no wildcard: the whole text equals the pattern
        Prefix,   // abc%: the text starts with abc
        Contains, // %abc%
        Suffix,   // %abc
        General,  // anything else
    };

    explicit LikePattern(AnsiString pattern);

    /// Whether `text`, folded, matches.
    bool matches(std::string_view text, TextFold fold) const noexcept;

    Shape shape() const noexcept { return m_shape; }
    /// The longest pattern of this shape that the filter language accepts.
    std::size_t lengthBound() const noexcept;
    const AnsiString& pattern() const noexcept { return m_pattern; }
    /// The bytes before the first wildcard: every match starts with them.
    std::string_view literalPrefix() const noexcept;

private:
    /// A run of the pattern between two '%' (or an end), with the bit masks that find it.
    struct Segment {
        std::size_t begin = 0, size = 0;
        /// For each byte value, which positions of the run it can stand at: 64 a word.
        std::vector<std::uint64_t> masks;
        std::size_t words() const noexcept { return (size + 63) / 64; }
    };

    void splitSegments();
    bool matchesGeneral(std::string_view text, TextFold fold) const noexcept;
    /// Where the first occurrence of `segment` in text[from, to) ends, or npos.
    std::size_t findSegment(const Segment& segment, std::string_view text, std::size_t from, std::size_t to,
                            TextFold fold) const noexcept;
    std::string_view run(const Segment& segment) const noexcept {
        return std::string_view(m_pattern).substr(segment.begin, segment.size);
    }

    AnsiString m_pattern;
    /// The literal part for the simple shapes (abc in abc%, %abc%, %abc).
    AnsiString m_literal;
    Shape m_shape = Shape::General;
    /// The runs of a general pattern, and of a contains pattern tested under a fold.
    std::vector<Segment> m_segments;
    bool m_hasPercent = false;
};

} // namespace qmr
