// The shaped matchers (exact, prefix, contains, suffix) and the general walk must agree with the
// plain definition of LIKE on every pattern and text, folded or not.

#include <qmr41726/data/filter/LikePattern.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace qmr;

namespace {

// LIKE by its definition, as a table of which pattern prefixes match which text prefixes.
bool plainMatch(std::string_view pattern, std::string_view text, TextFold fold) {
    std::vector<std::vector<bool>> m(pattern.size() + 1, std::vector<bool>(text.size() + 1, false));
    m[0][0] = true;
    for (size_t k = 1; k <= pattern.size(); ++k) {
        const char p = pattern[k - 1];
        for (size_t t = 0; t <= text.size(); ++t) {
            if (p == '%')
                m[k][t] = m[k - 1][t] || (t > 0 && m[k][t - 1]);
            else if (t > 0)
                m[k][t] = m[k - 1][t - 1] && (p == '_' || p == foldByte(text[t - 1], fold));
        }
    }
    return m[pattern.size()][text.size()];
}

std::string randomText(std::mt19937& random, std::string_view alphabet, size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text)
        c = alphabet[random() % alphabet.size()];
    return text;
}

} // namespace

TEST(LikePattern, everyShapeAgreesWithThePlainDefinition) {
    std::mt19937 random(16);
    for (int i = 0; i < 200000; ++i) {
        const std::string pattern = randomText(random, "aAb%_", 7);
        const std::string text = randomText(random, "aAbB", 9);
        const TextFold fold = TextFold(random() % 3);
        ASSERT_EQ(LikePattern(pattern).matches(text, fold), plainMatch(pattern, text, fold))
            << "'" << text << "' LIKE '" << pattern << "', fold " << int(fold);
    }
}

// Runs longer than a machine word, and longer than the filter language accepts (built in code).
TEST(LikePattern, longRunsAgreeWithThePlainDefinition) {
    std::mt19937 random(41726);
    int matched = 0;
    for (int i = 0; i < 600; ++i) {
        const size_t runLength = i < 500 ? 60 + random() % 140 : 1030 + random() % 40;
        std::string run(runLength, 'a');
        for (char& c : run)
            c = "aaab_"[random() % 5];
        const std::string pattern = "%" + run + "%" + randomText(random, "ab_", 3);
        // The text holds the run (its '_' filled in), now and then with one byte changed.
        std::string text = randomText(random, "aAb", runLength / 2) + run + randomText(random, "aAb", 6);
        for (char& c : text)
            c = c == '_' ? "ab"[random() % 2] : c;
        if (random() % 2)
            text[random() % text.size()] = "aAb"[random() % 3];
        const TextFold fold = TextFold(random() % 3);
        const bool expected = plainMatch(pattern, text, fold);
        matched += expected;
        ASSERT_EQ(LikePattern(pattern).matches(text, fold), expected)
            << "'" << text << "' LIKE '" << pattern << "', fold " << int(fold);
    }
    EXPECT_GT(matched, 100);
    EXPECT_LT(matched, 500);
}

TEST(LikePattern, longPrefixAndExactPatternsTakeTheLongBoundAndOthersTheShortOne) {
    const std::string prefix(65535, 'A');
    const std::string value = prefix + std::string(1 << 20, 'B');
    EXPECT_TRUE(LikePattern(prefix + "%").matches(value, TextFold::None));
    EXPECT_FALSE(LikePattern(prefix + "B%").matches(std::string(1 << 20, 'A'), TextFold::None));
    EXPECT_EQ(LikePattern(prefix + "%").lengthBound(), kMaxLikePattern);
    EXPECT_EQ(LikePattern(prefix).lengthBound(), kMaxLikePattern);
    EXPECT_EQ(LikePattern("%" + prefix).lengthBound(), kMaxWildcardLikePattern);
    EXPECT_EQ(LikePattern("A_%").lengthBound(), kMaxWildcardLikePattern);
}
