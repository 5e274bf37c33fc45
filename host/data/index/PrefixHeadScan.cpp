#include <qmr41726/data/index/PrefixHeadScan.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace qmr {

namespace {

// A head matches when (head & mask) == want, each taken as 4 bytes in memory order. Letters of a
// cased test accept both cases: clearing bit 0x20 maps exactly 'x' and 'X' to 'X'.
struct HeadTest {
    std::uint32_t mask = 0;
    std::uint32_t want = 0;
    bool possible = true;
};

HeadTest headTest(const AnsiString& prefix, TextFold fold) {
    std::array<unsigned char, 4> mask{};
    std::array<unsigned char, 4> want{};
    HeadTest test;
    for (std::size_t k = 0, n = std::min<std::size_t>(prefix.size(), 4); k < n; ++k) {
        const char c = prefix[k];
        const bool isUpper = c >= 'A' && c <= 'Z';
        const bool isLower = c >= 'a' && c <= 'z';
        if ((fold == TextFold::Upper && isLower) || (fold == TextFold::Lower && isUpper))
            test.possible = false; // UPPER(x) never holds a small letter, nor LOWER(x) a capital
        mask[k] = fold != TextFold::None && (isUpper || isLower) ? 0xDF : 0xFF;
        want[k] = static_cast<unsigned char>(c) & mask[k];
    }
    std::memcpy(&test.mask, mask.data(), 4);
    std::memcpy(&test.want, want.data(), 4);
    return test;
}

} // namespace

bool scanPrefixHeads(const StoreColumn& column, const FilterPrefixTerm& term, std::uint32_t begin,
                     std::uint32_t end, std::vector<std::uint32_t>& out) {
    if (column.heads.empty() || term.prefix.find('\0') != AnsiString::npos)
        return false;
    const HeadTest test = headTest(term.prefix, term.fold);
    if (!test.possible)
        return true;
    // A null row's text is empty, so its head is all padding and never equals a non-zero byte.
    const std::array<char, 4>* heads = column.heads.data();
    const auto matches = [&](std::uint32_t row) {
        std::uint32_t head = 0;
        std::memcpy(&head, heads[row].data(), 4);
        return (head & test.mask) == test.want;
    };
    // Counting first sizes the result exactly; then each row is written and kept only on a match,
    // which spares a branch the processor cannot predict.
    std::size_t count = 0;
    for (std::uint32_t row = begin; row < end; ++row)
        count += matches(row);
    std::size_t at = out.size();
    out.resize(at + count + 1);
    std::uint32_t* write = out.data();
    for (std::uint32_t row = begin; row < end; ++row) {
        write[at] = row;
        at += matches(row);
    }
    out.resize(at);
    return true;
}

} // namespace qmr
