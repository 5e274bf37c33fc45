// The typed-value parsers the loaders share: each malformed form is refused with its reason, never
// read as a neighbouring value.
#include "DataTestSupport.h"
#include <qmr41726/data/load/ValueParser.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

std::string dateTimeReason(std::string_view text) {
    double value = 0;
    const char* reason = parseDateTime(text, value);
    return reason ? reason : "accepted " + std::to_string(value);
}

} // namespace

TEST(ValueParser, malformedDatesAndTimesAreRefused) {
    const char* const refused[] = {
        "2024-1-05",           // a month of one digit
        "2024-01-05 9:30",     // an hour of one digit
        "2024-01-05 09",       // an hour without minutes
        "2024-01-05 09:30:",   // a colon without seconds
        "2024-01-05 09:30:5",  // seconds of one digit
        "2024-01-05 24:00",    // hour past the day
        "2024-01-05 10:60",    // minute past the hour
        "2024-01-05 10:30:60", // second past the minute
        "2024-01-05 10:30x",   // text after the time
        "2024-01-05_10:30",    // neither a space nor a T before the time
        "2024-01-05  10:30",   // two spaces
        "05/01/24",            // a two-digit year
        "5/01/2024",           // a day of one digit
        "0000000001-01-01",    // more digits than a year has
        "",
    };
    for (const char* text : refused)
        EXPECT_EQ(dateTimeReason(text), "is not a date-time (yyyy-mm-dd or yyyy-mm-dd hh:mm:ss)") << text;
}

TEST(ValueParser, bothDateOrdersAndBothTimeSeparatorsGiveTheSameDay) {
    double iso = 0, spaced = 0, european = 0;
    ASSERT_EQ(parseDateTime("2024-01-05T10:30:15", iso), nullptr);
    ASSERT_EQ(parseDateTime("2024-01-05 10:30:15", spaced), nullptr);
    ASSERT_EQ(parseDateTime(" 05/01/2024 10:30:15 ", european), nullptr);
    EXPECT_EQ(iso, spaced);
    EXPECT_EQ(iso, european);
    EXPECT_DOUBLE_EQ(iso, 45296 + (10 * 3600 + 30 * 60 + 15) / 86400.0);
}

TEST(ValueParser, numbersPastADoubleAreRefusedNotMadeInfinite) {
    const struct {
        const char* text;
        const char* reason;
    } rows[] = {
        {"1e999", "is out of the range of a floating-point number"},
        {"-1e999", "is out of the range of a floating-point number"},
        {"inf", "is not a number"},
        {"+-1", "is not a number"},
        {"+", "is not a number"},
        {"0x10", "is not a number"},
    };
    for (const auto& row : rows) {
        double value = 0;
        const char* reason = parseFloat(row.text, value);
        EXPECT_STREQ(reason ? reason : "accepted", row.reason) << row.text;
    }
}

TEST(ValueParser, utf8ThatIsNoTextIsRefusedWithItsOffset) {
    std::string buffer;
    const struct {
        std::string utf8;
        std::string expected;
    } rows[] = {
        {"ok \xF0\x9F\x98\x80", "Invalid text at byte 3: character U+1F600 has no Windows-1252 equivalent"},
        {"a\x80", "Invalid text at byte 1: not UTF-8"},
        {"ab\xFF", "Invalid text at byte 2: not UTF-8"},
        {"\xF4\x90\x80\x80", "Invalid text at byte 0: invalid UTF-8 sequence"}, // past U+10FFFF
        {"\xED\xA0\x80", "Invalid text at byte 0: invalid UTF-8 sequence"},     // a surrogate
        {"\xE2\x82", "Invalid text at byte 0: truncated UTF-8 sequence"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(errorOf([&] { utf8AsAnsi(row.utf8, buffer); }), row.expected) << row.utf8;
}
